#include "CurlTransfer.h"
#include "Fixture.h"

using States = QList<int>;

namespace {

const States kSuccess = {1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};

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
        // Debian's own python3, which has pyftpdlib (one earlier on PATH may not).
        servers_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        servers_.start("/usr/bin/python3", {QFINDTESTDATA("servers.py"), dir_.path()});
        while (!servers_.canReadLine() && servers_.waitForReadyRead(30000)) {
        }
        const QStringList ports = QString::fromLatin1(servers_.readLine()).simplified().split(' ');
        QVERIFY2(ports.size() == 3, "python3-pyftpdlib and openssl are needed");
        http_ = "http://127.0.0.1:" + ports[0];
        https_ = "https://localhost:" + ports[1];
        ftp_ = "ftp://127.0.0.1:" + ports[2];
    }

    void exchange_data() {
        // A link test ends at the first body bytes and keeps no body; the result is a pattern
        // for the body and notice, or for the error.
        columns<QString, int, bool, States, QString>("url", "protocol", "linkTest", "states",
                                                     "result");
        const States failed = {1, 2, 3, 4, 5, 6, 7, 11, 9, 10};  // in the response
        row("404 after a redirect", http_ + "/to-missing", 4, false, failed, "^HTTP 404 Not Found");
        row("redirect loop stops at the limit", http_ + "/loop", 4, false, failed, "redirect");
        row("endless body cut at the cap", http_ + "/endless", 4, false, failed, "65536 bytes");
        row("link test: endless body proven by its first bytes", http_ + "/endless", 4, true,
            kSuccess, "^$");
        row("a byte a second meets the time limit", http_ + "/slow", 4, false, failed,
            "^No whole answer within 2 seconds, the time limit.$");
        row("stall in the body", http_ + "/stall", 4, false, failed,
            "^The transfer stalled: less than a byte a second for 2 seconds.$");
        row("HTTPS for another name than the certificate's",
            QString(https_ + "/to-plain").replace("localhost", "127.0.0.1"), 5, false,
            States{1, 2, 3, 11, 9, 10}, "certificate");
        row("HTTPS sent on to HTTP works, noted as a downgrade", https_ + "/to-plain", 5, true,
            kSuccess, "^The secure.*downgraded.$");
        row("FTP file, the server slow with its final reply", ftp_ + "/file.txt", 2, false,
            kSuccess, "^ftp body\n$");
        row("FTP refusal is a failure with its reply", ftp_ + "/busy.txt", 2, true,
            States{1, 2, 3, 4, 5, 11, 9, 10}, "^FTP 450 ");
    }
    void exchange() {
        auto [url, protocol, linkTest, states, result] = fetch<QString, int, bool, States, QString>(
            "url", "protocol", "linkTest", "states", "result");
        States seen;
        QString errorString;  // the component's errorString() when state 11 arrived
        const std::unique_ptr<CurlTransfer> transfer = makeTransfer();
        QVERIFY(transfer);
        // The time limit comes first only for the server that trickles.
        const bool slow = url.endsWith("/slow");
        transfer->setStallTimeout(std::chrono::seconds(slow ? 10 : 2));
        transfer->setTimeLimit(std::chrono::seconds(slow ? 2 : 20));
        transfer->setProtocol(protocol);
        transfer->setCaInfo(dir_.filePath("cert.pem"));
        transfer->setStopAtFirstBytes(linkTest);
        transfer->setKeepBody(!linkTest);
        connect(transfer.get(), &InternetTransfer::stateChanged, this, [&](int state) {
            seen.append(state);
            errorString = state == InternetTransfer::Error ? transfer->errorString() : errorString;
        });
        QSignalSpy done(transfer.get(), &InternetTransfer::finished);
        // A 10 ms timer ticks all along: the window never freezes.
        QElapsedTimer clock;
        qint64 lastTick = 0;
        qint64 longestGap = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            longestGap = std::max(longestGap, clock.elapsed() - lastTick);
            lastTick = clock.elapsed();
        });
        clock.start();
        ticker.start(10);
        transfer->openUrl(url);
        QVERIFY(seen.isEmpty());  // nothing is reported before openUrl returns
        QVERIFY(done.wait(15000));
        const QByteArray body = done.first().at(0).toByteArray();
        const QString error = done.first().at(1).toString();
        QCOMPARE(seen, states);
        const bool succeeds = states.contains(InternetTransfer::ResponseCompleted);
        const QString said = succeeds ? QString::fromLatin1(body) + transfer->notice() : error;
        QVERIFY2(said.contains(QRegularExpression(result)), qPrintable(said));
        QCOMPARE(error.isEmpty(), succeeds);
        QCOMPARE(errorString, error);
        QVERIFY(succeeds || body.isEmpty());
        QCOMPARE_LT(longestGap, 500);
    }

    void cancelOrDestroy_midTransfer_endsAtOnce() {
        std::unique_ptr<CurlTransfer> transfer = makeTransfer();
        States states;
        connect(transfer.get(), &InternetTransfer::stateChanged, this,
                [&](int state) { states.append(state); });
        QSignalSpy done(transfer.get(), &InternetTransfer::finished);
        transfer->openUrl(http_ + "/stall");
        QTRY_COMPARE_WITH_TIMEOUT(states.size(), 7, 10000);
        transfer->cancel();
        // The next fetch on the same component sees only its own signals.
        transfer->openUrl(http_ + "/ok");
        QVERIFY(done.wait(15000));
        QCOMPARE(done.first().at(0).toByteArray(), QByteArray("hello"));
        QCOMPARE(states, kSuccess.mid(0, 7) + kSuccess);
        QCOMPARE(done.size(), 1);
        // Destroying it during a stalled fetch (its window closed) does not wait for the fetch.
        transfer->openUrl(http_ + "/stall");
        QTRY_COMPARE_WITH_TIMEOUT(states.size(), 7 + 11 + 7, 10000);
        QElapsedTimer clock;
        clock.start();
        transfer.reset();
        QCOMPARE_LT(clock.elapsed(), 1000);
    }

private:
    QTemporaryDir dir_;
    QProcess servers_;
    QString http_;
    QString https_;
    QString ftp_;
};

QTEST_GUILESS_MAIN(tst_CurlTransfer)
#include "tst_curltransfer.moc"
