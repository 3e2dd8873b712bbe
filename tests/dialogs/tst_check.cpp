#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "DialogFixture.h"
#include "FakeTransfer.h"
#include "WebPages.h"
#include "frmCheck.h"

namespace {
const QString kUpToDate = QStringLiteral("You have get the Newest Version");
const QString kUpgrade = QStringLiteral("Click Upgrade to get the upgrade...");
const QString kFailed = QStringLiteral("The newest version could not be checked.\n");
}  // namespace

// One update-check window over a scripted transfer component.
struct CheckFixture : DialogFixture {
    explicit CheckFixture(const QString& runningVersion = QString()) {
        QCoreApplication::setApplicationVersion(runningVersion);
        state.makeTransfer = [this]() -> std::unique_ptr<InternetTransfer> {
            auto transfer = std::make_unique<FakeTransfer>();
            fake = transfer.get();
            return transfer;
        };
        check = std::make_unique<frmCheck>(state, nullptr);
        check->setNewestVersionAddress(QStringLiteral("http://127.0.0.1:9/upgrade/newest.dat"));
    }
    ~CheckFixture() { QCoreApplication::setApplicationVersion(QString()); }

    FakeTransfer* fake = nullptr;
    std::unique_ptr<frmCheck> check;
};

class tst_check : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { checkNoWindowsLeft(); }

    void load_showsRunningVersionAndStart() {
        CheckFixture f;
        QCOMPARE(f.check->windowTitle(), QStringLiteral("Check for Update"));
        QCOMPARE(f.check->txtYVer->text(), QStringLiteral("Your Version : 1.0.0"));
        QCOMPARE(f.check->txtNewVer->text(), QStringLiteral("Newest Version :"));
        QCOMPARE(f.check->cmdButton->text(), QStringLiteral("&Start"));
        QVERIFY(f.fake->openedUrls.isEmpty());
        // The version shown is the program's own, not a value in the settings store.
        CheckFixture g(QStringLiteral("2.5.1"));
        QCOMPARE(g.check->txtYVer->text(), QStringLiteral("Your Version : 2.5.1"));
        QCOMPARE(g.check->Orvane_Ver(), QStringLiteral("2.5.1"));
    }

    void start_fetchesTheVersionFile() {
        CheckFixture f;
        f.check->show();
        QTest::mouseClick(f.check->cmdButton, Qt::LeftButton);
        QCOMPARE(f.check->cmdButton->text(), QStringLiteral("&Cancel"));
        QCOMPARE(f.check->lblState->text(), QStringLiteral("Checking the Newest Version..."));
        QCOMPARE(f.fake->openedUrls,
                 QStringList{QStringLiteral("http://127.0.0.1:9/upgrade/newest.dat")});
        QCOMPARE(f.fake->bodyLimitsUsed, QList<qint64>{64 * 1024});
        QVERIFY(f.fake->keepBody());
        f.check->close();
    }

    void defaultAddress_isTheProductsVersionFile() {
        DialogFixture f;
        FakeTransfer* fake = nullptr;
        f.state.makeTransfer = [&fake]() -> std::unique_ptr<InternetTransfer> {
            auto transfer = std::make_unique<FakeTransfer>();
            fake = transfer.get();
            return transfer;
        };
        frmCheck check(f.state, nullptr);
        check.cmdButton_Click();
        QCOMPARE(fake->openedUrls, QStringList{WebPages::newestVersion()});
    }

    void answer_data() {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("error");  // the transfer's failure
        QTest::addColumn<QString>("lblState");
        QTest::addColumn<QString>("txtNewVer");
        QTest::addColumn<QString>("caption");

        const QString none = QStringLiteral("Newest Version :");
        QTest::newRow("same version with line feed")
            << "1.0.0" << QByteArray("1.0.0\n") << QString() << kUpToDate
            << "Newest Version : 1.0.0"
            << "&OK";
        QTest::newRow("newer published")
            << "1.0.0" << QByteArray("1.0.1\n") << QString() << kUpgrade << "Newest Version : 1.0.1"
            << "&Upgrade";
        QTest::newRow("older published is no upgrade")
            << "1.0.1" << QByteArray("1.0.0\n") << QString() << kUpToDate
            << "Newest Version : 1.0.0"
            << "&OK";
        QTest::newRow("no line end keeps the last digit")
            << "1.0.0" << QByteArray("1.0.0") << QString() << kUpToDate << "Newest Version : 1.0.0"
            << "&OK";
        QTest::newRow("CR LF and blanks dropped")
            << "1.0.0" << QByteArray("1.0.0 \t\r\n") << QString() << kUpToDate
            << "Newest Version : 1.0.0"
            << "&OK";
        QTest::newRow("numbers, not text: 10 is newer than 9")
            << "1.0.9" << QByteArray("1.0.10\n") << QString() << kUpgrade
            << "Newest Version : 1.0.10"
            << "&Upgrade";
        QTest::newRow("missing part counts as 0")
            << "1.0.0" << QByteArray("1.0\n") << QString() << kUpToDate << "Newest Version : 1.0"
            << "&OK";
        QTest::newRow("numbers past 64 bits")
            << "1.99999999999999999999" << QByteArray("1.100000000000000000000\n") << QString()
            << kUpgrade << "Newest Version : 1.100000000000000000000"
            << "&Upgrade";
        QTest::newRow("leading zeros")
            << "1.1" << QByteArray("1.01\n") << QString() << kUpToDate << "Newest Version : 1.01"
            << "&OK";
        QTest::newRow("major step")
            << "1.0.0" << QByteArray("2\n") << QString() << kUpgrade << "Newest Version : 2"
            << "&Upgrade";
        QTest::newRow("empty answer") << "1.0.0" << QByteArray() << QString()
                                      << kFailed + "The answer is empty." << none << "&Start";
        QTest::newRow("only a line end") << "1.0.0" << QByteArray("\r\n") << QString()
                                         << kFailed + "The answer is empty." << none << "&Start";
        QTest::newRow("web page instead of a version")
            << "1.0.0" << QByteArray("<html><body>Moved</body></html>\n") << QString()
            << kFailed + "The answer is not a version number." << none << "&Start";
        QTest::newRow("NUL byte after the version")
            << "1.0.0" << QByteArray("1.0.1\0\n", 7) << QString()
            << kFailed + "The answer is not a version number." << none << "&Start";
        QTest::newRow("answer over 64 KiB")
            << "1.0.0" << QByteArray(64 * 1024 + 1, '1') << QString()
            << kFailed + "The answer is larger than 65536 bytes." << none << "&Start";
        QTest::newRow("HTTP error") << "1.0.0" << QByteArray() << "HTTP 404 Not Found"
                                    << kFailed + "HTTP 404 Not Found" << none << "&Start";
        QTest::newRow("time-out") << "1.0.0" << QByteArray()
                                  << "Connection timed out after 15000 milliseconds"
                                  << kFailed + "Connection timed out after 15000 milliseconds"
                                  << none << "&Start";
    }

    void answer() {
        QFETCH(QString, running);
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        QFETCH(QString, lblState);
        QFETCH(QString, txtNewVer);
        QFETCH(QString, caption);

        CheckFixture f(running);
        f.check->cmdButton_Click();
        f.fake->reportAll({1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10});
        f.fake->finish(body, error);
        QCOMPARE(f.check->lblState->text(), lblState);
        QCOMPARE(f.check->txtNewVer->text(), txtNewVer);
        QCOMPARE(f.check->cmdButton->text(), caption);
        QVERIFY(f.shell.opened.isEmpty());
    }

    void cancel_stopsFetchAndOffersStartAgain() {
        CheckFixture f;
        f.check->cmdButton_Click();
        f.check->cmdButton_Click();
        QCOMPARE(f.fake->cancelCount, 1);
        QCOMPARE(f.check->cmdButton->text(), QStringLiteral("&Start"));
        QCOMPARE(f.check->lblState->text(), kFailed + "The check was cancelled.");
        // An answer that still arrives for the cancelled fetch is not taken.
        f.fake->finish("9.9.9\n");
        QCOMPARE(f.check->txtNewVer->text(), QStringLiteral("Newest Version :"));
        QCOMPARE(f.check->cmdButton->text(), QStringLiteral("&Start"));

        f.check->cmdButton_Click();
        QCOMPARE(f.fake->openedUrls.size(), 2);
        f.fake->finish("1.0.0\n");
        QCOMPARE(f.check->cmdButton->text(), QStringLiteral("&OK"));
    }

    void ok_closesTheWindow() {
        CheckFixture f;
        f.check->show();
        f.check->cmdButton_Click();
        f.fake->finish("1.0.0\n");
        QTest::mouseClick(f.check->cmdButton, Qt::LeftButton);
        QVERIFY(!f.check->isVisible());
        QCOMPARE(f.check->result(), int(QDialog::Accepted));
    }

    void upgrade_opensThePageEachClickAndStays() {
        CheckFixture f;
        f.check->show();
        f.check->cmdButton_Click();
        f.fake->finish("1.2.0\n");
        QTest::mouseClick(f.check->cmdButton, Qt::LeftButton);
        QTest::keyClick(f.check->cmdButton, Qt::Key_Space);
        QCOMPARE(f.shell.opened, (QStringList{WebPages::upgradePage(), WebPages::upgradePage()}));
        QVERIFY(f.check->isVisible());
        QCOMPARE(f.check->cmdButton->text(), QStringLiteral("&Upgrade"));
        f.check->close();
    }

    void closingDuringFetch_cancelsIt() {
        CheckFixture f;
        f.check->show();
        f.check->cmdButton_Click();
        QTest::keyClick(f.check.get(), Qt::Key_Escape);
        QVERIFY(!f.check->isVisible());
        QCOMPARE(f.fake->cancelCount, 1);
    }
};

QTEST_MAIN(tst_check)
#include "tst_check.moc"
