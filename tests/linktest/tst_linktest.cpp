#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <memory>

#include "CurlTransfer.h"
#include "FakeTransfer.h"
#include "LinkTest.h"
#include "ScriptedPrompts.h"
#include "frmState.h"

using States = QList<int>;

namespace {
const States kSuccess = {1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
const QString kStarting = QStringLiteral("Starting to Test The Link...");
const QString kCorrect = QStringLiteral("The Link is Correct.");
const QString kUnreachable = QStringLiteral("The Link could not be Reached.");
// As long as libcurl's longer reasons, so that the dialog must have room for it.
const QString kReason = QStringLiteral(
    "Failed to connect to www.example.org port 443 after 15000 ms: Connection timed out");
const QString kError = "An error occurred in communicating with the host computer.\n" + kReason;
const QString kDone =
    QStringLiteral("Orvane Editor successfully disconnected from the host computer.");

bool libcurlMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/libcurl");
}
}  // namespace

class tst_LinkTest : public QObject {
    Q_OBJECT
    ScriptedPrompts prompts_;
    FakeTransfer* fake_ = nullptr;
    std::unique_ptr<LinkTest> test_;
    int beeps_ = 0;

    frmState* begin(const QString& address = QStringLiteral("http://www.example.org/")) {
        test_->start(nullptr, address);
        return test_->dialog();
    }

private slots:
    void init() {
        prompts_.clear();
        beeps_ = 0;
        fake_ = nullptr;
        test_ = std::make_unique<LinkTest>(prompts_, [this] {
            auto fake = std::make_unique<FakeTransfer>();
            fake_ = fake.get();
            return fake;
        });
        test_->setBeep([this] { ++beeps_; });
    }

    void cleanup() {
        test_.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Without its module the link cannot be tested, and the dialog says why; libcurl is
    // loaded only when a test starts.
    void missingModule_saysWhy() {
        test_ = std::make_unique<LinkTest>(prompts_, [] { return makeInternetTransfer("/none"); });
        QVERIFY(!libcurlMapped());
        frmState* dialog = begin();
        QCOMPARE(dialog->lblCorrect->text(), QStringLiteral("The Link cannot be Tested."));
        QVERIFY2(
            dialog->lblState->text().contains(QRegularExpression("not be loaded: .*orvane-curl")),
            qPrintable(dialog->lblState->text()));
        QCOMPARE(dialog->cmdButton->text(), QStringLiteral("&OK"));
    }

    // The protocol follows the address, and one it cannot test is refused before anything is
    // made. The dialog says what the states mean; however it is closed then, a test still
    // running is cancelled, and only then.
    void states_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("protocol");  // 0: refused
        QTest::addColumn<States>("states");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("lblState");
        QTest::addColumn<QString>("lblCorrect");
        QTest::addColumn<int>("close");  // 0 the button, 1 the title-bar button, 2 Escape
        const auto row = [](const char* tag, const char* address, int protocol, States states,
                            const QString& notice, const QString& lblState,
                            const QString& lblCorrect, int close) {
            QTest::newRow(tag) << address << protocol << states << notice << lblState << lblCorrect
                               << close;
        };
        const QString running = QStringLiteral("Orvane Editor is connecting to the host computer.");
        const QString testing = QStringLiteral("Testing The Link...");
        row("capital scheme refused", "HTTP://a/", 0, {}, "", "", "", 0);
        row("started", "https://a/", 5, {}, "", "", kStarting, 0);
        row("running, title-bar button", "ftp://a/f", 2, {1, 2, 3}, "", running, testing, 1);
        row("running, Escape", "gopther://a/", 4, {1, 2, 3}, "", running, testing, 2);
        row("whole exchange, OK", "http://a/", 4, kSuccess, "", kDone, kCorrect, 0);
        row("downgrade on the reason line of a working link", "https://a/", 5, kSuccess,
            "downgraded", kDone + "\ndowngraded", kCorrect, 1);
        row("error", "http://a/", 4, {1, 2, 3, 11}, "", kError, kUnreachable, 0);
        row("disconnect after an error is no success", "http://a/", 4, {1, 2, 3, 11, 9, 10}, "",
            kError, kUnreachable, 1);
    }
    void states() {
        QFETCH(QString, address);
        QFETCH(int, protocol);
        QFETCH(States, states);
        QFETCH(QString, notice);
        QFETCH(QString, lblState);
        QFETCH(QString, lblCorrect);
        QFETCH(int, close);
        if (protocol == 0) {
            prompts_.answerMessage(Prompts::Answer::Ok);
            QCOMPARE(begin(address), nullptr);
            QCOMPARE(fake_, nullptr);
            QCOMPARE(prompts_.calls.value(0).text, "Orvane Editor cannot test this link");
            return;
        }
        QPointer<frmState> dialog = begin(address);
        QCOMPARE(fake_->protocolsUsed, States{protocol});
        QCOMPARE(fake_->openedUrls, QStringList{address});
        QVERIFY(fake_->stopAtFirstBytes());  // the first bytes of the answer prove the link
        fake_->setNotice(notice);
        for (const int state : states) {
            fake_->report(state, kReason);
        }
        QCOMPARE(dialog->lblState->text(), lblState);
        QCOMPARE_LE(dialog->lblState->heightForWidth(dialog->lblState->width()),
                    dialog->lblState->height());
        QCOMPARE(dialog->lblCorrect->text(), lblCorrect);
        const bool over = lblCorrect == kCorrect || lblCorrect == kUnreachable;
        QCOMPARE(dialog->cmdButton->text(), over ? "&OK" : "&Cancel");
        QCOMPARE(beeps_, lblCorrect == kCorrect ? 1 : 0);
        QCOMPARE(fake_->cancelCount, 1);  // only the one every start makes
        if (close == 0) {
            QTest::mouseClick(dialog->cmdButton, Qt::LeftButton);
        } else if (close == 1) {
            QVERIFY(dialog->close());
        } else {
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(fake_->cancelCount, over ? 1 : 2);
    }

    void secondTest_afterAFailure_startsAfresh() {
        frmState* dialog = begin();
        fake_->reportAll({1, 2, 3, 11});
        QCOMPARE(begin(QStringLiteral("ftp://ftp.example.org/f.txt")), dialog);
        QCOMPARE(fake_->protocolsUsed, (States{4, 2}));
        QCOMPARE(dialog->lblState->text(), QString());
        QCOMPARE(dialog->cmdButton->text(), QStringLiteral("&Cancel"));
        fake_->reportAll(kSuccess);
        QCOMPARE(dialog->lblCorrect->text(), kCorrect);
    }
};

QTEST_MAIN(tst_LinkTest)
#include "tst_linktest.moc"
