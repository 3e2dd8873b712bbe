#include "CurlTransfer.h"
#include "FakeTransfer.h"
#include "Fixture.h"
#include "LinkTest.h"
#include "frmState.h"

using States = QList<int>;

namespace {
const States kSuccess = {1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
const QString kCorrect = QStringLiteral("The Link is Correct.");
const QString kUnreachable = QStringLiteral("The Link could not be Reached.");
// As long as libcurl's longer reasons, so that the dialog must have room for it.
const QString kReason = QStringLiteral(
    "Failed to connect to www.example.org port 443 after 15000 ms: Connection timed out");

struct Case {
    QString address;
    int protocol;  // 0: refused
    States states;
    QString notice;
    QString lblState;
    QString lblCorrect;
    bool titleBar;  // closed with the title-bar button, else with cmdButton
};
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

    // Without its module the link cannot be tested, and the dialog says why.
    void missingModule_saysWhy() {
        test_ = std::make_unique<LinkTest>(prompts_, [] { return makeInternetTransfer("/none"); });
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
        QTest::addColumn<Case>("c");
        const QString running = QStringLiteral("Orvane Editor is connecting to the host computer.");
        const QString done =
            QStringLiteral("Orvane Editor successfully disconnected from the host computer.");
        const QString error =
            "An error occurred in communicating with the host computer.\n" + kReason;
        QTest::newRow("capital scheme refused") << Case{"HTTP://a/", 0, {}, "", "", "", false};
        QTest::newRow("started, closed with the button")
            << Case{"https://a/", 5, {}, "", "", "Starting to Test The Link...", false};
        QTest::newRow("running, closed from the title bar")
            << Case{"ftp://a/f", 2, {1, 2, 3}, "", running, "Testing The Link...", true};
        QTest::newRow("downgrade on the reason line of a working link")
            << Case{"https://a/", 5, kSuccess, "downgraded", done + "\ndowngraded", kCorrect, true};
        QTest::newRow("disconnect after an error is no success")
            << Case{"http://a/", 4, {1, 2, 3, 11, 9, 10}, "", error, kUnreachable, false};
    }
    void states() {
        QFETCH(Case, c);
        if (c.protocol == 0) {
            prompts_.answerMessage(Prompts::Answer::Ok);
            QCOMPARE(begin(c.address), nullptr);
            QCOMPARE(fake_, nullptr);
            QCOMPARE(prompts_.calls.value(0).text, "Orvane Editor cannot test this link");
            return;
        }
        QPointer<frmState> dialog = begin(c.address);
        QCOMPARE(fake_->protocolsUsed, States{c.protocol});
        QCOMPARE(fake_->openedUrls, QStringList{c.address});
        QVERIFY(fake_->stopAtFirstBytes());  // the first bytes of the answer prove the link
        fake_->setNotice(c.notice);
        fake_->report(c.states, kReason);
        QCOMPARE(dialog->lblState->text(), c.lblState);
        QCOMPARE_LE(dialog->lblState->heightForWidth(dialog->lblState->width()),
                    dialog->lblState->height());
        QCOMPARE(dialog->lblCorrect->text(), c.lblCorrect);
        const bool over = c.lblCorrect == kCorrect || c.lblCorrect == kUnreachable;
        QCOMPARE(dialog->cmdButton->text(), over ? "&OK" : "&Cancel");
        QCOMPARE(beeps_, c.lblCorrect == kCorrect ? 1 : 0);
        QCOMPARE(fake_->cancelCount, 1);  // only the one every start makes
        if (c.titleBar) {
            QVERIFY(dialog->close());
        } else {
            QTest::mouseClick(dialog->cmdButton, Qt::LeftButton);
        }
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(fake_->cancelCount, over ? 1 : 2);
    }

    void secondTest_afterAFailure_startsAfresh() {
        frmState* dialog = begin();
        fake_->report({1, 2, 3, 11});
        QCOMPARE(begin(QStringLiteral("ftp://ftp.example.org/f.txt")), dialog);
        QCOMPARE(fake_->protocolsUsed, (States{4, 2}));
        QCOMPARE(dialog->lblState->text(), QString());
        QCOMPARE(dialog->cmdButton->text(), QStringLiteral("&Cancel"));
        fake_->report(kSuccess);
        QCOMPARE(dialog->lblCorrect->text(), kCorrect);
    }
};

QTEST_MAIN(tst_LinkTest)
#include "tst_linktest.moc"
