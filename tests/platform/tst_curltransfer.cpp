#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "CurlTransfer.h"
#include "ScriptedHttpServer.h"

using States = QList<int>;

namespace {

const States kSuccess = {1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
const States kFailedInResponse = {1, 2, 3, 4, 5, 6, 7, 11, 9, 10};
const States kFailedToConnect = {1, 2, 3, 11, 9, 10};
// The longest the test thread's event loop may go without running a timer.
constexpr qint64 kMaxLoopGapMs = 500;

// pyftpdlib serving a folder with file.txt anonymously, holding back each "226 Transfer
// complete" for a second: libcurl waits for that reply inside its own calls. Prints its port.
const char* const kFtpServer = R"(
import sys
open(sys.argv[1] + '/file.txt', 'w').write('ftp body\n')
from pyftpdlib import authorizers, handlers, servers
class SlowToConfirm(handlers.FTPHandler):
    def respond(self, resp, *args, **kwargs):
        if resp.startswith('226'):
            self.ioloop.call_later(1, super().respond, resp, *args, **kwargs)
        else:
            super().respond(resp, *args, **kwargs)
SlowToConfirm.authorizer = authorizers.DummyAuthorizer()
SlowToConfirm.authorizer.add_anonymous(sys.argv[1])
server = servers.FTPServer(('127.0.0.1', 0), SlowToConfirm)
print(server.address[1], flush=True)
server.serve_forever()
)";

struct Outcome {
    States states;
    bool quietStart = false;  // nothing reported before openUrl returned
    QByteArray body;
    QString error;
    QString errorString;  // the component's errorString() when state 11 arrived
    qint64 longestLoopGapMs = 0;
};

// Runs one fetch while a 10 ms timer ticks, and records everything it reports.
Outcome run(CurlTransfer& transfer, const QString& url) {
    Outcome outcome;
    QObject context;
    QObject::connect(&transfer, &InternetTransfer::stateChanged, &context, [&](int state) {
        outcome.states.append(state);
        if (state == InternetTransfer::Error) {
            outcome.errorString = transfer.errorString();
        }
    });
    QSignalSpy done(&transfer, &InternetTransfer::finished);
    QElapsedTimer clock;
    qint64 lastTick = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &context, [&] {
        outcome.longestLoopGapMs = std::max(outcome.longestLoopGapMs, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    clock.start();
    ticker.start(10);
    transfer.openUrl(url);
    outcome.quietStart = outcome.states.isEmpty();
    if (done.wait(15000)) {
        outcome.body = done.first().at(0).toByteArray();
        outcome.error = done.first().at(1).toString();
    }
    return outcome;
}

}  // namespace

class tst_CurlTransfer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        qputenv("no_proxy", "*");  // only 127.0.0.1 is reached, whatever the machine's proxy
        QVERIFY(dir_.isValid());
        QVERIFY(http_.listen());
        http_.route("/ok", "HTTP/1.1 200 OK\r\n\r\nhello");
        http_.route("/to-missing", "HTTP/1.1 302 Found\r\nLocation: /missing\r\n\r\n");
        http_.route("/loop", "HTTP/1.1 302 Found\r\nLocation: /loop\r\n\r\n");
        http_.route("/to-telnet", "HTTP/1.1 302 Found\r\nLocation: telnet://127.0.0.1/\r\n\r\n");
        http_.route("/big", "HTTP/1.1 200 OK\r\n\r\n" + QByteArray(200000, 'b'));
        http_.route("/endless", "HTTP/1.1 200 OK\r\n\r\n", ScriptedHttpServer::Ending::Endless);
        const QByteArray partBody = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789";
        http_.route("/stall", partBody, ScriptedHttpServer::Ending::Stall);
        http_.route("/cut", partBody);

        // A self-signed certificate for localhost, made for this run.
        certificate_ = dir_.filePath(QStringLiteral("cert.pem"));
        const QString key = dir_.filePath(QStringLiteral("key.pem"));
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                       "/CN=localhost", "-addext", "subjectAltName=DNS:localhost", "-keyout", key,
                       "-out", certificate_});
        QVERIFY2(openssl.waitForFinished(30000) && openssl.exitCode() == 0, "openssl is needed");
        QVERIFY(https_.listen(certificate_, key));
        https_.route("/ok", "HTTP/1.1 200 OK\r\n\r\nsecret");

        // Debian's own python3, which has pyftpdlib (one earlier on PATH may not).
        ftpServer_.start(QStringLiteral("/usr/bin/python3"), {"-c", kFtpServer, dir_.path()});
        QVERIFY2(ftpServer_.waitForReadyRead(20000), "python3-pyftpdlib is needed");
        ftpPort_ = ftpServer_.readLine().trimmed().toUShort();
        QVERIFY(ftpPort_ != 0);
    }

    void cleanupTestCase() {
        ftpServer_.kill();
        ftpServer_.waitForFinished(5000);
    }

    void exchange_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<States>("states");
        QTest::addColumn<QString>("result");  // success: the body; failure: the reason's pattern

        QTcpServer probe;  // a port nobody listens on once it is closed
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort());
        probe.close();
        const auto http = [this](const char* path) { return http_.url(QString::fromLatin1(path)); };
        const QString ftp = QStringLiteral("ftp://127.0.0.1:%1/").arg(ftpPort_);
        QTest::newRow("200 keeps the body") << http("/ok") << 4 << kSuccess << "hello";
        QTest::newRow("gopther address spoken as HTTP")
            << http("/ok").replace("http", "gopther") << 4 << kSuccess << "hello";
        QTest::newRow("404 is a failure with its status")
            << http("/missing") << 4 << kFailedInResponse << "^HTTP 404 Not Found$";
        QTest::newRow("404 at the end of a redirect")
            << http("/to-missing") << 4 << kFailedInResponse << "^HTTP 404 Not Found$";
        QTest::newRow("redirect loop stops at the limit")
            << http("/loop") << 4 << kFailedInResponse << "redirect";
        QTest::newRow("redirect to another protocol is refused")
            << http("/to-telnet") << 4 << kFailedInResponse << "telnet";
        QTest::newRow("endless body is cut at the cap")
            << http("/endless") << 4 << kFailedInResponse << "larger than 65536 bytes";
        QTest::newRow("stall in the body times out")
            << http("/stall") << 4 << kFailedInResponse << "too slow";
        QTest::newRow("connection closed mid-body")
            << http("/cut") << 4 << kFailedInResponse << "closed";
        QTest::newRow("refused port") << refused << 4 << kFailedToConnect << "onnect";
        QTest::newRow("address without a host") << "http://" << 4 << States{11} << "no host";
        QTest::newRow("HTTPS with a trusted certificate")
            << https_.url("/ok") << 5 << kSuccess << "secret";
        QTest::newRow("FTP file, the server slow with its final reply")
            << ftp + "file.txt" << 2 << kSuccess << "ftp body\n";
        QTest::newRow("FTP refusal is a failure with its reply")
            << ftp + "none.txt" << 2 << States{1, 2, 3, 4, 5, 11, 9, 10} << "^FTP 550 ";
    }

    void exchange() {
        QFETCH(QString, url);
        QFETCH(int, protocol);
        QFETCH(States, states);
        QFETCH(QString, result);
        const bool succeeds = states.contains(InternetTransfer::ResponseCompleted);

        CurlTransfer transfer;
        transfer.setStallTimeout(std::chrono::seconds(2));
        transfer.setProtocol(protocol);
        transfer.setCaInfo(certificate_);
        const Outcome outcome = run(transfer, url);

        QVERIFY(outcome.quietStart);
        QCOMPARE(outcome.states, states);
        QCOMPARE(outcome.body, succeeds ? result.toLatin1() : QByteArray());
        QVERIFY2(outcome.error.contains(QRegularExpression(succeeds ? "^$" : result)),
                 qPrintable(outcome.error));
        QCOMPARE(outcome.errorString, outcome.error);
        QCOMPARE_LT(outcome.longestLoopGapMs, kMaxLoopGapMs);
    }

    void bodyLimit_raised_keepsTheWholeBody() {
        CurlTransfer transfer;
        transfer.setBodyLimit(200000);
        QCOMPARE(run(transfer, http_.url(QStringLiteral("/big"))).body, QByteArray(200000, 'b'));
    }

    void https_untrustedCertificate_fails() {
        CurlTransfer transfer;
        const Outcome outcome = run(transfer, https_.url(QStringLiteral("/ok")));
        QCOMPARE(outcome.states, kFailedToConnect);
        QVERIFY2(outcome.error.contains(QStringLiteral("certificate")), qPrintable(outcome.error));
    }

    void cancelOrDestroy_midTransfer_endsAtOnce() {
        auto transfer = std::make_unique<CurlTransfer>();
        States states;
        connect(transfer.get(), &InternetTransfer::stateChanged, this,
                [&](int state) { states.append(state); });
        QSignalSpy done(transfer.get(), &InternetTransfer::finished);
        transfer->openUrl(http_.url(QStringLiteral("/stall")));
        QTRY_COMPARE_WITH_TIMEOUT(states.size(), 7, 10000);
        transfer->cancel();

        // The next fetch on the same component sees only its own signals.
        QCOMPARE(run(*transfer, http_.url(QStringLiteral("/ok"))).body, QByteArray("hello"));
        QCOMPARE(states, kSuccess.mid(0, 7) + kSuccess);
        QCOMPARE(done.size(), 1);

        // Destroying it during a stalled fetch (its window closed) does not wait for the fetch.
        transfer->openUrl(http_.url(QStringLiteral("/stall")));
        QTRY_COMPARE_WITH_TIMEOUT(states.size(), 7 + 11 + 7, 10000);
        QElapsedTimer clock;
        clock.start();
        transfer.reset();
        QCOMPARE_LT(clock.elapsed(), 1000);
    }

    void addressFor_data() {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("fetched");  // empty: refused

        QTest::newRow("protocol replaces the scheme, fragment dropped")
            << 5 << "http://example.org:81/a?b=c#frag"
            << "https://example.org:81/a?b=c";
        QTest::newRow("blank in the path is encoded") << 4 << "http://example.org/a b"
                                                      << "http://example.org/a%20b";
        QTest::newRow("own scheme when protocol unset") << 0 << "HTTPS://Example.org/"
                                                        << "https://example.org/";
        QTest::newRow("no scheme separator") << 4 << "httpexample" << QString();
        QTest::newRow("unset protocol, telnet address")
            << 0 << "telnet://example.org/" << QString();
    }

    void addressFor() {
        QFETCH(int, protocol);
        QFETCH(QString, address);
        QFETCH(QString, fetched);
        QString problem;
        QCOMPARE(CurlTransfer::addressFor(protocol, address, &problem), fetched);
        QCOMPARE(problem.isEmpty(), !fetched.isEmpty());
    }

private:
    QTemporaryDir dir_;
    ScriptedHttpServer http_;
    ScriptedHttpServer https_;
    QString certificate_;
    QProcess ftpServer_;
    quint16 ftpPort_ = 0;
};

QTEST_GUILESS_MAIN(tst_CurlTransfer)
#include "tst_curltransfer.moc"
