#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "CurlTransfer.h"

using States = QList<int>;

namespace {

const States kSuccess = {1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
const States kFailedInResponse = {1, 2, 3, 4, 5, 6, 7, 11, 9, 10};
const States kFailedToConnect = {1, 2, 3, 11, 9, 10};

// pyftpdlib serving file.txt anonymously, holding back each "226 Transfer complete" for a
// second (libcurl waits for it inside its own calls). Prints its port.
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

// An HTTP server (HTTPS when given a certificate) on 127.0.0.1 answering each path with
// scripted bytes and then an ending: close, stall, an endless body, or a byte a second.
enum class Ending { Close, Stall, Endless, ByteASecond };
struct Server {
    QTcpServer* tcp = nullptr;
    QHash<QByteArray, std::pair<QByteArray, Ending>> routes;

    bool listen(QObject* owner, const QString& certificate = {}, const QString& key = {}) {
        if (certificate.isEmpty()) {
            tcp = new QTcpServer(owner);
        } else {
            auto* tls = new QSslServer(owner);
            QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
            configuration.setLocalCertificateChain(QSslCertificate::fromPath(certificate));
            QFile keyFile(key);
            keyFile.open(QIODevice::ReadOnly);
            configuration.setPrivateKey(QSslKey(&keyFile, QSsl::Rsa));
            tls->setSslConfiguration(configuration);
            tcp = tls;
        }
        QObject::connect(tcp, &QTcpServer::pendingConnectionAvailable, tcp, [this] {
            while (QTcpSocket* socket = tcp->nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (socket->peek(socket->bytesAvailable()).contains("\r\n\r\n")) {
                        answer(socket, socket->readAll());
                    }
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return tcp->listen(QHostAddress::LocalHost, 0);
    }
    QString url(const char* path) const {
        const bool tls = qobject_cast<QSslServer*>(tcp) != nullptr;
        return QStringLiteral("%1://%2:%3%4")
            .arg(tls ? "https" : "http", tls ? "localhost" : "127.0.0.1")
            .arg(tcp->serverPort())
            .arg(QString::fromLatin1(path));
    }
    void answer(QTcpSocket* socket, const QByteArray& request) const {
        const QByteArray path = request.left(request.indexOf("\r\n")).split(' ').value(1);
        const auto [bytes, ending] = routes.value(path, {"HTTP/1.1 404 Not Found\r\n\r\n", {}});
        socket->write(bytes);
        if (ending == Ending::Close) {
            socket->disconnectFromHost();
        } else if (ending != Ending::Stall) {
            const bool endless = ending == Ending::Endless;
            auto* timer = new QTimer(socket);
            QObject::connect(timer, &QTimer::timeout, socket, [socket, endless] {
                if (socket->bytesToWrite() < 65536) {
                    socket->write(QByteArray(endless ? 16384 : 1, 'x'));
                }
            });
            timer->start(endless ? 1 : 1000);
        }
    }
};

struct Outcome {
    States states;
    bool quietStart = false;  // nothing reported before openUrl returned
    QByteArray body;
    QString error;
    QString errorString;  // the component's errorString() when state 11 arrived
    QString notice;
    qint64 longestLoopGapMs = 0;
};

// Runs one fetch while a 10 ms timer ticks, and records everything it reports.
Outcome run(InternetTransfer& transfer, const QString& url) {
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
        outcome.notice = transfer.notice();
    }
    return outcome;
}

std::unique_ptr<CurlTransfer> makeTransfer() {
    std::unique_ptr<InternetTransfer> made = makeInternetTransfer(ORVANE_MODULE_BUILD_DIR);
    return std::unique_ptr<CurlTransfer>(qobject_cast<CurlTransfer*>(made.release()));
}

}  // namespace

class tst_CurlTransfer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        qputenv("no_proxy", "*");  // only 127.0.0.1 is reached, whatever the machine's proxy
        QVERIFY(dir_.isValid());
        QVERIFY(http_.listen(this));
        http_.routes = {
            {"/ok", {"HTTP/1.1 200 OK\r\n\r\nhello", Ending::Close}},
            {"/to-missing", {"HTTP/1.1 302 Found\r\nLocation: /missing\r\n\r\n", Ending::Close}},
            {"/loop", {"HTTP/1.1 302 Found\r\nLocation: /loop\r\n\r\n", Ending::Close}},
            {"/to-telnet", {"HTTP/1.1 302 Found\r\nLocation: telnet://127.0.0.1/\r\n\r\n", {}}},
            {"/endless", {"HTTP/1.1 200 OK\r\n\r\n", Ending::Endless}},
            {"/endless-404", {"HTTP/1.1 404 Gone\r\n\r\n", Ending::Endless}},
            {"/slow", {"HTTP/1.1 200 OK\r\n\r\n", Ending::ByteASecond}},
            {"/stall", {"HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\n", Ending::Stall}},
        };
        // A self-signed certificate for localhost, made for this run.
        certificate_ = dir_.filePath(QStringLiteral("cert.pem"));
        const QString key = dir_.filePath(QStringLiteral("key.pem"));
        QProcess openssl;
        openssl.start("openssl",
                      {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                       "/CN=localhost", "-addext", "subjectAltName=DNS:localhost", "-keyout", key,
                       "-out", certificate_});
        QVERIFY2(openssl.waitForFinished(30000) && openssl.exitCode() == 0, "openssl is needed");
        QVERIFY(https_.listen(this, certificate_, key));
        https_.routes = {
            {"/ok", {"HTTP/1.1 200 OK\r\n\r\nsecret", Ending::Close}},
            {"/to-plain",
             {"HTTP/1.1 302 Found\r\nLocation: " + http_.url("/ok").toLatin1() + "\r\n\r\n",
              Ending::Close}},
        };
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
        QTest::addColumn<bool>("linkTest");  // ends at the first body bytes, keeps no body
        QTest::addColumn<States>("states");
        QTest::addColumn<QString>("result");  // a pattern for the body and notice, or the error

        QTcpServer probe;  // a port nobody listens on once it is closed
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort());
        probe.close();
        const QString ftp = QStringLiteral("ftp://127.0.0.1:%1/").arg(ftpPort_);
        const QString https = https_.url("/ok");
        QTest::newRow("200 keeps the body")
            << http_.url("/ok") << 4 << false << kSuccess << "^hello$";
        QTest::newRow("404 at the end of a redirect")
            << http_.url("/to-missing") << 4 << false << kFailedInResponse
            << "^HTTP 404 Not Found$";
        QTest::newRow("redirect loop stops at the limit")
            << http_.url("/loop") << 4 << false << kFailedInResponse << "redirect";
        QTest::newRow("redirect to another protocol is refused")
            << http_.url("/to-telnet") << 4 << false << kFailedInResponse << "telnet";
        QTest::newRow("endless body is cut at the cap")
            << http_.url("/endless") << 4 << false << kFailedInResponse
            << "larger than 65536 bytes";
        QTest::newRow("link test: endless body proven by its first bytes")
            << http_.url("/endless") << 4 << true << kSuccess << "^$";
        QTest::newRow("link test: endless error page fails at once")
            << http_.url("/endless-404") << 4 << true << kFailedInResponse << "^HTTP 404 Gone$";
        QTest::newRow("body of a byte a second meets the time limit")
            << http_.url("/slow") << 4 << false << kFailedInResponse
            << "^No whole answer within 2 seconds, the time limit.$";
        QTest::newRow("stall in the body")
            << http_.url("/stall") << 4 << false << kFailedInResponse
            << "^The transfer stalled: less than a byte a second for 2 seconds.$";
        QTest::newRow("refused port") << refused << 4 << false << kFailedToConnect << "onnect";
        QTest::newRow("HTTPS with a trusted certificate")
            << https << 5 << false << kSuccess << "^secret$";
        QTest::newRow("HTTPS for another name than the certificate's")
            << QString(https).replace("localhost", "127.0.0.1") << 5 << false << kFailedToConnect
            << "certificate";
        QTest::newRow("HTTPS sent on to HTTP works, noted as a downgrade")
            << https_.url("/to-plain") << 5 << true << kSuccess << "^The secure.*downgraded.$";
        QTest::newRow("FTP file, the server slow with its final reply")
            << ftp + "file.txt" << 2 << false << kSuccess << "^ftp body\n$";
        QTest::newRow("FTP refusal is a failure with its reply")
            << ftp + "none.txt" << 2 << true << States{1, 2, 3, 4, 5, 11, 9, 10} << "^FTP 550 ";
    }
    void exchange() {
        QFETCH(QString, url);
        QFETCH(int, protocol);
        QFETCH(bool, linkTest);
        QFETCH(States, states);
        QFETCH(QString, result);
        const bool succeeds = states.contains(InternetTransfer::ResponseCompleted);
        const std::unique_ptr<CurlTransfer> transfer = makeTransfer();
        QVERIFY(transfer);
        // The time limit comes first only for the server that trickles.
        const bool slow = url.endsWith("/slow");
        transfer->setStallTimeout(std::chrono::seconds(slow ? 10 : 2));
        transfer->setTimeLimit(std::chrono::seconds(slow ? 2 : 20));
        transfer->setProtocol(protocol);
        transfer->setCaInfo(certificate_);
        transfer->setStopAtFirstBytes(linkTest);
        transfer->setKeepBody(!linkTest);
        const Outcome outcome = run(*transfer, url);

        QVERIFY(outcome.quietStart);
        QCOMPARE(outcome.states, states);
        const QString said =
            succeeds ? QString::fromLatin1(outcome.body) + outcome.notice : outcome.error;
        QVERIFY2(said.contains(QRegularExpression(result)), qPrintable(said));
        QCOMPARE(outcome.error.isEmpty(), succeeds);
        QCOMPARE(outcome.errorString, outcome.error);
        QVERIFY(succeeds || outcome.body.isEmpty());
        QCOMPARE_LT(outcome.longestLoopGapMs, 500);  // the window never freezes
    }

    void cancelOrDestroy_midTransfer_endsAtOnce() {
        std::unique_ptr<CurlTransfer> transfer = makeTransfer();
        States states;
        connect(transfer.get(), &InternetTransfer::stateChanged, this,
                [&](int state) { states.append(state); });
        QSignalSpy done(transfer.get(), &InternetTransfer::finished);
        transfer->openUrl(http_.url("/stall"));
        QTRY_COMPARE_WITH_TIMEOUT(states.size(), 7, 10000);
        transfer->cancel();
        // The next fetch on the same component sees only its own signals.
        QCOMPARE(run(*transfer, http_.url("/ok")).body, QByteArray("hello"));
        QCOMPARE(states, kSuccess.mid(0, 7) + kSuccess);
        QCOMPARE(done.size(), 1);
        // Destroying it during a stalled fetch (its window closed) does not wait for the fetch.
        transfer->openUrl(http_.url("/stall"));
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
        QTest::newRow("protocol replaces the scheme, blank encoded, fragment dropped")
            << 5 << "gopther://example.org:81/a b?b=c#frag"
            << "https://example.org:81/a%20b?b=c";
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
    Server http_;
    Server https_;
    QString certificate_;
    QProcess ftpServer_;
    quint16 ftpPort_ = 0;
};

QTEST_GUILESS_MAIN(tst_CurlTransfer)
#include "tst_curltransfer.moc"
