#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "CurlTransfer.h"
#include "ScriptedHttpServer.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QList<int> kSuccess = {1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
const QList<int> kFailedInResponse = {1, 2, 3, 4, 5, 6, 7, 11, 9, 10};
const QList<int> kFailedToConnect = {1, 2, 3, 11, 9, 10};
constexpr int kFetchBoundMs = 15000;
// The longest the test thread's event loop may go without running a timer.
constexpr qint64 kMaxLoopGapMs = 500;

struct Outcome {
    QList<int> states;
    QByteArray body;
    QString error;
    QString errorString;  // the component's errorString() when state 11 arrived
    bool finished = false;
    qint64 longestLoopGapMs = 0;
    qint64 elapsedMs = 0;
};

// Runs one fetch while a 10 ms timer ticks, and records everything it reports.
Outcome fetch(CurlTransfer& transfer, const QString& url) {
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
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, &context, [&] {
        outcome.longestLoopGapMs = std::max(outcome.longestLoopGapMs, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    clock.start();
    ticker.start();
    transfer.openUrl(url);
    outcome.finished = done.wait(kFetchBoundMs);
    outcome.elapsedMs = clock.elapsed();
    if (outcome.finished) {
        outcome.body = done.first().at(0).toByteArray();
        outcome.error = done.first().at(1).toString();
    }
    return outcome;
}

// The path of Debian's own python3, which has pyftpdlib (a python3 earlier on PATH may not).
QString systemPython() {
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                             : QStringLiteral("python3");
}

}  // namespace

class tst_CurlTransfer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void http_data();
    void http();
    void https_data();
    void https();
    void ftp_data();
    void ftp();
    void ftpSlowFinalReply_keepsLoopRunning();
    void refusedPort_failsWhileConnecting();
    void unansweredConnect_timesOut();
    void badAddress_failsAfterOpenUrlReturned();
    void cancel_midTransfer_dropsLaterSignals();
    void destructor_duringStalledFetch_returnsPromptly();
    void addressFor_data();
    void addressFor();

private:
    void startFtpServer();

    QTemporaryDir dir_;
    std::unique_ptr<ScriptedHttpServer> http_;
    std::unique_ptr<ScriptedHttpServer> https_;
    QString certificate_;
    QProcess ftpServer_;
    quint16 ftpPort_ = 0;
};

void tst_CurlTransfer::initTestCase() {
    // Only 127.0.0.1 is reached: no proxy from the machine's environment.
    for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "ftp_proxy", "FTP_PROXY",
                             "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
        qunsetenv(name);
    }
    QVERIFY(dir_.isValid());

    http_ = std::make_unique<ScriptedHttpServer>();
    QVERIFY(http_->listen());
    using S = ScriptedHttpServer;
    http_->route("/ok", S::status(200, "OK", "hello"));
    http_->route("/missing", S::status(404, "Not Found", "<h1>no</h1>"));
    http_->route("/broken", S::status(500, "Internal Server Error", ""));
    http_->route("/r1", S::redirect("/r2"));
    http_->route("/r2", S::redirect(http_->url("/ok").toLatin1()));
    http_->route("/r-missing", S::redirect("/missing"));
    http_->route("/loop", S::redirect("/loop"));
    http_->route("/to-telnet", S::redirect("telnet://127.0.0.1/"));
    http_->route("/announced-big", S::status(200, "OK", QByteArray(200000, 'b')));
    http_->route("/endless", {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", S::Ending::Endless});
    http_->route("/stall-headers",
                 {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n", S::Ending::Stall});
    http_->route("/stall-body",
                 {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789", S::Ending::Stall});
    http_->route("/silent", {QByteArray(), S::Ending::Stall});
    http_->route("/cut",
                 {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789", S::Ending::Close});

    // A self-signed certificate for localhost and 127.0.0.1, made for this run.
    certificate_ = dir_.filePath(QStringLiteral("cert.pem"));
    const QString key = dir_.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                   "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
                   "-keyout", key, "-out", certificate_});
    QVERIFY2(openssl.waitForFinished(30000) && openssl.exitCode() == 0,
             "openssl must be installed (scripts/packages.txt)");
    https_ = std::make_unique<ScriptedHttpServer>(certificate_, key);
    QVERIFY(https_->listen());
    https_->route("/ok", S::status(200, "OK", "secret"));
    https_->route("/missing", S::status(404, "Not Found", ""));

    startFtpServer();
}

void tst_CurlTransfer::startFtpServer() {
    const QString root = dir_.filePath(QStringLiteral("ftp"));
    QVERIFY(QDir().mkpath(root));
    QFile file(root + QStringLiteral("/file.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("ftp body\n");
    file.close();
    QFile big(root + QStringLiteral("/big.bin"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(300000, 'f'));
    big.close();

    ftpServer_.setProcessChannelMode(QProcess::MergedChannels);
    ftpServer_.start(systemPython(),
                     {"-u", "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", "0", "-d", root});
    const QRegularExpression started(
        QStringLiteral("starting FTP server on 127\\.0\\.0\\.1:(\\d+)"));
    QByteArray log;
    QElapsedTimer clock;
    clock.start();
    while (ftpPort_ == 0 && clock.elapsed() < 20000 && ftpServer_.waitForReadyRead(20000)) {
        log += ftpServer_.readAll();
        const auto match = started.match(QString::fromLatin1(log));
        if (match.hasMatch()) {
            ftpPort_ = quint16(match.captured(1).toUInt());
        }
    }
    QVERIFY2(ftpPort_ != 0, ("python3-pyftpdlib must be installed: " + log).constData());
}

void tst_CurlTransfer::cleanupTestCase() {
    ftpServer_.kill();
    ftpServer_.waitForFinished(5000);
}

void tst_CurlTransfer::http_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<qint64>("bodyLimit");
    QTest::addColumn<QList<int>>("states");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("error");  // a pattern the reason must match; empty: success

    const qint64 cap = InternetTransfer::DefaultBodyLimit;
    QTest::newRow("200 keeps the body")
        << "/ok" << 4 << cap << kSuccess << QByteArray("hello") << QString();
    QTest::newRow("address's own scheme when no protocol is set")
        << "/ok" << 0 << cap << kSuccess << QByteArray("hello") << QString();
    QTest::newRow("404 is a failure with its status")
        << "/missing" << 4 << cap << kFailedInResponse << QByteArray() << "^HTTP 404 Not Found$";
    QTest::newRow("500 is a failure") << "/broken" << 4 << cap << kFailedInResponse << QByteArray()
                                      << "^HTTP 500 Internal Server Error$";
    QTest::newRow("302 chain is followed")
        << "/r1" << 4 << cap << kSuccess << QByteArray("hello") << QString();
    QTest::newRow("404 at the end of a redirect")
        << "/r-missing" << 4 << cap << kFailedInResponse << QByteArray() << "^HTTP 404 Not Found$";
    QTest::newRow("redirect loop stops at the limit")
        << "/loop" << 4 << cap << kFailedInResponse << QByteArray() << "redirect";
    QTest::newRow("redirect to another protocol is refused")
        << "/to-telnet" << 4 << cap << kFailedInResponse << QByteArray() << "telnet";
    QTest::newRow("announced body over the cap")
        << "/announced-big" << 4 << cap << kFailedInResponse << QByteArray()
        << "larger than 65536 bytes";
    QTest::newRow("endless body is cut at the cap")
        << "/endless" << 4 << cap << kFailedInResponse << QByteArray() << "larger than 65536 bytes";
    QTest::newRow("body within a raised cap") << "/announced-big" << 4 << qint64(200000) << kSuccess
                                              << QByteArray(200000, 'b') << QString();
    QTest::newRow("stall after the headers times out")
        << "/stall-headers" << 4 << cap << kFailedInResponse << QByteArray() << "too slow";
    QTest::newRow("stall in the middle of the body times out")
        << "/stall-body" << 4 << cap << kFailedInResponse << QByteArray() << "too slow";
    QTest::newRow("connection closed mid-body")
        << "/cut" << 4 << cap << kFailedInResponse << QByteArray() << "closed";
}

void tst_CurlTransfer::http() {
    QFETCH(QString, path);
    QFETCH(int, protocol);
    QFETCH(qint64, bodyLimit);
    QFETCH(QList<int>, states);
    QFETCH(QByteArray, body);
    QFETCH(QString, error);

    CurlTransfer transfer;
    transfer.setStallTimeout(std::chrono::seconds(1));
    transfer.setProtocol(protocol);
    transfer.setBodyLimit(bodyLimit);
    const Outcome outcome = fetch(transfer, http_->url(path));

    QVERIFY(outcome.finished);
    QCOMPARE(outcome.states, states);
    QCOMPARE(outcome.body, body);
    if (error.isEmpty()) {
        QCOMPARE(outcome.error, QString());
    } else {
        QVERIFY2(outcome.error.contains(QRegularExpression(error)), qPrintable(outcome.error));
        QCOMPARE(outcome.errorString, outcome.error);
    }
    QVERIFY2(outcome.longestLoopGapMs < kMaxLoopGapMs,
             qPrintable(QString::number(outcome.longestLoopGapMs)));
    QVERIFY(!transfer.isRunning());
}

void tst_CurlTransfer::https_data() {
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error");

    QTest::newRow("trusted certificate") << true << "/ok" << QString();
    QTest::newRow("trusted certificate, 404") << true << "/missing"
                                              << "^HTTP 404 Not Found$";
    QTest::newRow("self-signed certificate refused") << false << "/ok"
                                                     << "certificate";
}

void tst_CurlTransfer::https() {
    QFETCH(bool, trusted);
    QFETCH(QString, path);
    QFETCH(QString, error);

    CurlTransfer transfer;
    transfer.setProtocol(InternetTransfer::HTTPS);
    transfer.setStallTimeout(std::chrono::seconds(2));
    if (trusted) {
        transfer.setCaInfo(certificate_);
    }
    const Outcome outcome = fetch(transfer, https_->url(path));

    QVERIFY(outcome.finished);
    if (error.isEmpty()) {
        QCOMPARE(outcome.states, kSuccess);
        QCOMPARE(outcome.body, QByteArray("secret"));
        QCOMPARE(outcome.error, QString());
    } else {
        QVERIFY2(outcome.error.contains(QRegularExpression(error)), qPrintable(outcome.error));
        QCOMPARE(outcome.states.mid(0, 3), (QList<int>{1, 2, 3}));
        QCOMPARE(outcome.states.mid(outcome.states.size() - 3), (QList<int>{11, 9, 10}));
    }
    QVERIFY(outcome.longestLoopGapMs < kMaxLoopGapMs);
}

void tst_CurlTransfer::ftp_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QList<int>>("states");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("error");

    QTest::newRow("file") << "ftp://127.0.0.1:%1/file.txt" << 2 << kSuccess
                          << QByteArray("ftp body\n") << QString();
    QTest::newRow("missing file is the server's refusal")
        << "ftp://127.0.0.1:%1/none.txt" << 2 << kFailedInResponse.mid(0, 5) + QList{11, 9, 10}
        << QByteArray() << "^FTP 550 ";
    QTest::newRow("file over the cap")
        << "ftp://127.0.0.1:%1/big.bin" << 2 << kFailedInResponse.mid(0, 5) + QList{11, 9, 10}
        << QByteArray() << "larger than 65536 bytes";
    QTest::newRow("FTP spoken to an address of another scheme")
        << "ftpx://127.0.0.1:%1/file.txt" << 2 << kSuccess << QByteArray("ftp body\n") << QString();
}

void tst_CurlTransfer::ftp() {
    QFETCH(QString, address);
    QFETCH(int, protocol);
    QFETCH(QList<int>, states);
    QFETCH(QByteArray, body);
    QFETCH(QString, error);

    CurlTransfer transfer;
    transfer.setProtocol(protocol);
    transfer.setStallTimeout(std::chrono::seconds(2));
    const Outcome outcome = fetch(transfer, address.arg(ftpPort_));

    QVERIFY(outcome.finished);
    QCOMPARE(outcome.states, states);
    QCOMPARE(outcome.body, body);
    if (error.isEmpty()) {
        QCOMPARE(outcome.error, QString());
    } else {
        QVERIFY2(outcome.error.contains(QRegularExpression(error)), qPrintable(outcome.error));
    }
    QVERIFY(outcome.longestLoopGapMs < kMaxLoopGapMs);
}

void tst_CurlTransfer::ftpSlowFinalReply_keepsLoopRunning() {
    // libcurl waits inside its own calls for the 226 after an FTP download; a server that
    // takes 1.5 s to send it must not hold up the caller's event loop.
    QTcpServer control;
    QTcpServer data;
    QVERIFY(control.listen(QHostAddress::LocalHost, 0));
    QVERIFY(data.listen(QHostAddress::LocalHost, 0));
    QTcpSocket* session = nullptr;
    connect(&control, &QTcpServer::newConnection, this, [&] {
        session = control.nextPendingConnection();
        session->write("220 stub\r\n");
        connect(session, &QTcpSocket::readyRead, this, [&] {
            while (session->canReadLine()) {
                const QByteArray command = session->readLine().trimmed().split(' ').first();
                if (command == "USER") {
                    session->write("331 password\r\n");
                } else if (command == "PASS") {
                    session->write("230 in\r\n");
                } else if (command == "PWD") {
                    session->write("257 \"/\"\r\n");
                } else if (command == "CWD" || command == "TYPE") {
                    session->write("250 ok\r\n");
                } else if (command == "EPSV") {
                    session->write("229 data (|||" + QByteArray::number(data.serverPort()) +
                                   "|)\r\n");
                } else if (command == "SIZE") {
                    session->write("213 5\r\n");
                } else if (command == "RETR") {
                    session->write("150 sending\r\n");
                    if (!data.hasPendingConnections()) {
                        data.waitForNewConnection(5000);
                    }
                    QTcpSocket* channel = data.nextPendingConnection();
                    channel->write("hello");
                    channel->disconnectFromHost();
                    QTimer::singleShot(1500, session, [&] { session->write("226 done\r\n"); });
                } else if (command == "QUIT") {
                    session->write("221 bye\r\n");
                    session->disconnectFromHost();
                } else {
                    session->write("502 no\r\n");
                }
            }
        });
    });

    CurlTransfer transfer;
    transfer.setStallTimeout(std::chrono::seconds(5));
    const Outcome outcome =
        fetch(transfer, QStringLiteral("ftp://127.0.0.1:%1/file.txt").arg(control.serverPort()));
    QVERIFY(outcome.finished);
    QCOMPARE(outcome.error, QString());
    QCOMPARE(outcome.states, kSuccess);
    QCOMPARE(outcome.body, QByteArray("hello"));
    QVERIFY(outcome.elapsedMs >= 1400);
    QVERIFY2(outcome.longestLoopGapMs < kMaxLoopGapMs,
             qPrintable(QString::number(outcome.longestLoopGapMs)));
}

void tst_CurlTransfer::refusedPort_failsWhileConnecting() {
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    CurlTransfer transfer;
    const Outcome outcome = fetch(transfer, QStringLiteral("http://127.0.0.1:%1/").arg(port));
    QVERIFY(outcome.finished);
    QCOMPARE(outcome.states, kFailedToConnect);
    QVERIFY2(outcome.error.contains(QStringLiteral("onnect")), qPrintable(outcome.error));
}

void tst_CurlTransfer::unansweredConnect_timesOut() {
    // A listening socket whose one-place queue is full: the kernel drops further SYNs, so
    // connecting hangs until the connect time-out.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0);
    QVERIFY(::listen(fd, 0) == 0);
    QVERIFY(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0);
    const quint16 port = ntohs(address.sin_port);
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    for (int i = 0; i < 3; ++i) {
        fillers.push_back(std::make_unique<QTcpSocket>());
        fillers.back()->connectToHost(QHostAddress::LocalHost, port);
        fillers.back()->waitForConnected(300);
    }

    CurlTransfer transfer;
    transfer.setConnectTimeout(std::chrono::milliseconds(1000));
    const Outcome outcome = fetch(transfer, QStringLiteral("http://127.0.0.1:%1/").arg(port));
    ::close(fd);

    QVERIFY(outcome.finished);
    QCOMPARE(outcome.states, kFailedToConnect);
    QVERIFY2(outcome.error.contains(QRegularExpression(QStringLiteral("Timeout|timed out"))),
             qPrintable(outcome.error));
    QVERIFY(outcome.elapsedMs >= 900 && outcome.elapsedMs < 5000);
}

void tst_CurlTransfer::badAddress_failsAfterOpenUrlReturned() {
    CurlTransfer transfer;
    transfer.setProtocol(InternetTransfer::HTTP);
    QSignalSpy states(&transfer, &InternetTransfer::stateChanged);
    transfer.openUrl(QStringLiteral("http://"));
    QCOMPARE(states.size(), 0);  // nothing before openUrl returns
    const Outcome outcome = fetch(transfer, QStringLiteral("http://"));
    QCOMPARE(outcome.states, QList<int>{11});
    QVERIFY2(outcome.error.contains(QStringLiteral("no host")), qPrintable(outcome.error));
}

void tst_CurlTransfer::cancel_midTransfer_dropsLaterSignals() {
    CurlTransfer transfer;
    transfer.setStallTimeout(std::chrono::seconds(20));
    QList<int> states;
    connect(&transfer, &InternetTransfer::stateChanged, this,
            [&](int state) { states.append(state); });
    QSignalSpy done(&transfer, &InternetTransfer::finished);
    transfer.openUrl(http_->url(QStringLiteral("/stall-body")));
    QTRY_VERIFY_WITH_TIMEOUT(states.contains(InternetTransfer::ReceivingResponse), 10000);
    transfer.cancel();
    QVERIFY(!transfer.isRunning());
    const QList<int> beforeCancel = states;

    // The next fetch on the same component sees only its own signals.
    states.clear();
    const Outcome next = fetch(transfer, http_->url(QStringLiteral("/ok")));
    QVERIFY(next.finished);
    QCOMPARE(states, kSuccess);
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.first().at(0).toByteArray(), QByteArray("hello"));
    QCOMPARE(beforeCancel, kSuccess.mid(0, 7));
}

void tst_CurlTransfer::destructor_duringStalledFetch_returnsPromptly() {
    auto transfer = std::make_unique<CurlTransfer>();
    QSignalSpy states(transfer.get(), &InternetTransfer::stateChanged);
    transfer->openUrl(http_->url(QStringLiteral("/silent")));
    QTRY_VERIFY_WITH_TIMEOUT(states.size() >= 5, 10000);
    QElapsedTimer clock;
    clock.start();
    transfer.reset();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
}

void tst_CurlTransfer::addressFor_data() {
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("fetched");  // empty: refused

    QTest::newRow("gopher word spoken as HTTP") << 4 << "gopther://example.org:70/a?b=c#frag"
                                                << "http://example.org:70/a?b=c";
    QTest::newRow("HTTPS protocol on an http address") << 5 << "http://example.org/x"
                                                       << "https://example.org/x";
    QTest::newRow("FTP keeps the user") << 2 << "ftp://anne:pw@example.org/f.txt"
                                        << "ftp://anne:pw@example.org/f.txt";
    QTest::newRow("blank in the path is encoded") << 4 << "http://example.org/a b"
                                                  << "http://example.org/a%20b";
    QTest::newRow("own scheme when protocol unset") << 0 << "HTTPS://Example.org/"
                                                    << "https://example.org/";
    QTest::newRow("prefix without a host") << 4 << "http://" << QString();
    QTest::newRow("no scheme separator") << 4 << "httpexample" << QString();
    QTest::newRow("unset protocol, telnet address") << 0 << "telnet://example.org/" << QString();
    QTest::newRow("unknown protocol number") << 3 << "http://example.org/" << QString();
}

void tst_CurlTransfer::addressFor() {
    QFETCH(int, protocol);
    QFETCH(QString, address);
    QFETCH(QString, fetched);
    QString problem;
    QCOMPARE(CurlTransfer::addressFor(protocol, address, &problem), fetched);
    QCOMPARE(problem.isEmpty(), !fetched.isEmpty());
}

QTEST_GUILESS_MAIN(tst_CurlTransfer)
#include "tst_curltransfer.moc"
