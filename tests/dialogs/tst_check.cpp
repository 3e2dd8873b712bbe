#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "FakeTransfer.h"
#include "Fixture.h"
#include "WebPages.h"
#include "frmCheck.h"

namespace {
const QString kUpToDate = QStringLiteral("You have get the Newest Version");
const QString kUpgrade = QStringLiteral("Click Upgrade to get the upgrade...");
const QString kFailed = QStringLiteral("The newest version could not be checked.\n");
}  // namespace

// One update-check window, shown, over a scripted transfer component.
struct CheckFixture : Fixture {
    explicit CheckFixture(const QString& runningVersion) {
        QCoreApplication::setApplicationVersion(runningVersion);
        state.makeTransfer = [this]() -> std::unique_ptr<InternetTransfer> {
            auto transfer = std::make_unique<FakeTransfer>();
            fake = transfer.get();
            return transfer;
        };
        check = std::make_unique<frmCheck>(state, nullptr);
        check->show();
    }

    FakeTransfer* fake = nullptr;
    std::unique_ptr<frmCheck> check;
};

class tst_check : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { checkNoWindowsLeft(); }

    void check_data() {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QString>("lblState");
        QTest::addColumn<QString>("answer");  // the fetched bytes, one a character; empty: none

        QTest::newRow("same, line feed") << "1.0.0" << kUpToDate << "1.0.0\n";
        QTest::newRow("newer") << "1.0.0" << kUpgrade << "1.0.1\n";
        QTest::newRow("older is no upgrade") << "1.0.1" << kUpToDate << "1.0.0\n";
        QTest::newRow("no line end keeps the last digit") << "1.0.0" << kUpToDate << "1.0.0";
        QTest::newRow("CR LF and blanks dropped") << "1.0.0" << kUpToDate << "1.0.0 \t\r\n";
        QTest::newRow("numbers: 10 is newer than 9") << "1.0.9" << kUpgrade << "1.0.10\n";
        QTest::newRow("missing part counts as 0") << "1.0" << kUpToDate << "1.0.0\n";
        QTest::newRow("empty but for a line end") << "1.0.0" << kFailed + "The answer is empty."
                                                  << "\r\n";
        QTest::newRow("web page") << "1.0.0" << kFailed + "The answer is not a version number."
                                  << "<html>Moved</html>\n";
        QTest::newRow("too long") << "1.0.0" << kFailed + "The answer is larger than 65536 bytes."
                                  << QString(64 * 1024 + 1, u'1');
        QTest::newRow("failed fetch") << "1.0.0" << kFailed + "HTTP 404 Not Found" << QString();
    }

    void check() {
        QFETCH(QString, running);
        QFETCH(QString, lblState);
        QFETCH(QString, answer);
        CheckFixture f(running);
        QCOMPARE(f.check->windowTitle(), QStringLiteral("Check for Update"));
        QCOMPARE(f.check->txtYVer->text(), "Your Version : " + running);
        QTest::keyClick(f.check->cmdButton, Qt::Key_Space);
        QCOMPARE(f.check->cmdButton->text(), QStringLiteral("&Cancel"));
        QCOMPARE(f.check->lblState->text(), QStringLiteral("Checking the Newest Version..."));
        QCOMPARE(f.fake->openedUrls, QStringList{WebPages::newestVersion()});
        QCOMPARE(f.fake->bodyLimitsUsed, QList<qint64>{64 * 1024});
        QVERIFY(f.fake->keepBody());

        // No answer: the fetch failed for the reason after kFailed.
        f.fake->finish(answer.toLatin1(), answer.isEmpty() ? lblState.mid(kFailed.size()) : "");
        QCOMPARE(f.check->lblState->text(), lblState);
        const bool found = !lblState.startsWith(kFailed);
        QCOMPARE(f.check->txtNewVer->text(),
                 found ? "Newest Version : " + answer.trimmed() : "Newest Version :");
        const QString caption = !found ? "&Start" : lblState == kUpgrade ? "&Upgrade" : "&OK";
        QCOMPARE(f.check->cmdButton->text(), caption);

        // A click then does what the caption says: close, open the upgrade page, start again.
        QTest::mouseClick(f.check->cmdButton, Qt::LeftButton);
        QCOMPARE(f.check->isVisible(), caption != "&OK");
        QCOMPARE(f.shell.opened.size(), caption == "&Upgrade" ? 1 : 0);
        QCOMPARE(f.fake->openedUrls.size(), caption == "&Start" ? 2 : 1);
    }

    void cancel_offersStartAgain() {
        CheckFixture f(QStringLiteral("1.0.0"));
        f.check->cmdButton_Click();
        f.check->cmdButton_Click();
        QCOMPARE(f.fake->cancelCount, 1);
        QCOMPARE(f.check->lblState->text(), kFailed + "The check was cancelled.");
        QCOMPARE(f.check->cmdButton->text(), QStringLiteral("&Start"));
    }
};

QTEST_MAIN(tst_check)
#include "tst_check.moc"
