#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
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
const QString kTesting = QStringLiteral("Testing The Link...");
const QString kCorrect = QStringLiteral("The Link is Correct.");
const QString kUnreachable = QStringLiteral("The Link could not be Reached.");
// As long as libcurl's longer reasons, so that the dialog must have room for it.
const QString kReason = QStringLiteral(
    "Failed to connect to www.example.org port 443 after 15000 ms: Connection timed out");
const QString kError =
    QStringLiteral("An error occurred in communicating with the host computer.\n") + kReason;
const QString kDowngraded = QStringLiteral("The secure link was downgraded.");

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

    // The real component, made on the first test: libcurl is mapped only from then on.
    void realComponent_data() {
        QTest::addColumn<QString>("moduleDir");
        QTest::addColumn<QString>("headline");
        QTest::addColumn<QString>("reason");
        QTest::newRow("module missing") << "/nonexistent"
                                        << "The Link cannot be Tested."
                                        << "could not be loaded: .*orvane-curl";
        QTest::newRow("address without a host") << ORVANE_MODULE_BUILD_DIR << kUnreachable
                                                << "\nThe address \"http://\" names no host.$";
    }
    void realComponent() {
        QFETCH(QString, moduleDir);
        QFETCH(QString, headline);
        QFETCH(QString, reason);
        test_ = std::make_unique<LinkTest>(prompts_,
                                           [moduleDir] { return makeInternetTransfer(moduleDir); });
        QVERIFY(!libcurlMapped());
        frmState* dialog = begin(QStringLiteral("http://"));
        QCOMPARE(libcurlMapped(), test_->IntMain() != nullptr);
        QTRY_COMPARE(dialog->lblCorrect->text(), headline);
        QVERIFY2(dialog->lblState->text().contains(QRegularExpression(reason)),
                 qPrintable(dialog->lblState->text()));
        QCOMPARE(dialog->cmdButton->text(), QStringLiteral("&OK"));
    }

    void start_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("protocol");  // 0: refused
        QTest::newRow("web") << "http://www.example.org/" << 4;
        QTest::newRow("secure web") << "https://www.example.org/" << 5;
        QTest::newRow("FTP") << "ftp://ftp.example.org/f.txt" << 2;
        QTest::newRow("gopther") << "gopther://gopher.example.org/" << 4;
        QTest::newRow("capital scheme") << "HTTP://www.example.org/" << 0;
        QTest::newRow("telnet") << "telnet://host.example.org/" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void start() {
        QFETCH(QString, address);
        QFETCH(int, protocol);
        if (protocol == 0) {
            prompts_.answerMessage(Prompts::Answer::Ok);
        }
        frmState* dialog = begin(address);
        QCOMPARE(dialog != nullptr, protocol != 0);
        if (dialog == nullptr) {
            QCOMPARE(fake_, nullptr);  // nothing is made for an address it cannot test
            QCOMPARE(prompts_.calls.size(), 1);
            QCOMPARE(prompts_.calls[0].text, QStringLiteral("Orvane Editor cannot test this link"));
            QCOMPARE(prompts_.calls[0].title, QStringLiteral("Orvane Editor"));
            QCOMPARE(prompts_.calls[0].buttons, Prompts::Buttons::Ok);
            return;
        }
        QCOMPARE(fake_->protocolsUsed, States{protocol});
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Orvane Editor - Testing the Link..."));
        QCOMPARE(dialog->lblCorrect->text(), kStarting);
        QCOMPARE(dialog->cmdButton->text(), QStringLiteral("&Cancel"));
        QCOMPARE(dialog->Label1->text(), QStringLiteral("State :"));
        const QRect screen = dialog->screen()->geometry();
        QCOMPARE(dialog->x(), screen.left() + (screen.width() - dialog->width()) / 2);
        QCOMPARE(dialog->y(), screen.top() + (screen.height() - dialog->height()) / 2);
        QCOMPARE(fake_->openedUrls, QStringList{address});
        // Any size will do: the first bytes of the answer prove the link.
        QVERIFY(!fake_->keepBody() && fake_->bodyLimitsUsed.first() < 0);
        QVERIFY(fake_->stopAtFirstBytes());
    }

    void states_data() {
        QTest::addColumn<States>("states");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("lblState");
        QTest::addColumn<QString>("lblCorrect");
        const QStringList sentences = {
            "Orvane Editor Do not Have State to Report.",
            "Orvane Editor is looking up the IP address of the specified host computer.",
            "Orvane Editor successfully found the IP address of the specified host computer.",
            "Orvane Editor is connecting to the host computer.",
            "Orvane Editor successfully connected to the host computer.",
            "Orvane Editor is sending a request to the host computer.",
            "Orvane Editor successfully sent the request.",
            "Orvane Editor is receiving a response from the host computer.",
            "Orvane Editor successfully received a response from the host computer.",
            "Orvane Editor is disconnecting from the host computer.",
            "Orvane Editor successfully disconnected from the host computer.",
            kError,
            "The request has completed and all data has been received."};
        for (int state = -1; state <= 13; ++state) {  // -1 and 13 change nothing
            const QString headline = state == 1    ? kTesting
                                     : state == 10 ? kCorrect
                                     : state == 11 ? kUnreachable
                                                   : kStarting;
            QTest::addRow("state %d alone", state)
                << States{state} << QString() << sentences.value(state) << headline;
        }
        QTest::newRow("whole exchange") << kSuccess << QString() << sentences[10] << kCorrect;
        QTest::newRow("downgrade on the reason line of a working link")
            << kSuccess << kDowngraded << sentences[10] + "\n" + kDowngraded << kCorrect;
        QTest::newRow("disconnect after an error is no success")
            << States{1, 2, 3, 11, 9, 10} << QString() << kError << kUnreachable;
    }
    void states() {
        QFETCH(States, states);
        QFETCH(QString, notice);
        QFETCH(QString, lblState);
        QFETCH(QString, lblCorrect);
        frmState* dialog = begin();
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
    }

    // However the dialog is closed, a test still running is cancelled, and only then.
    void closing_data() {
        QTest::addColumn<States>("states");
        QTest::addColumn<int>("how");  // 0 the button, 1 the title-bar button, 2 Escape
        QTest::addColumn<int>("cancels");
        QTest::newRow("OK after success") << kSuccess << 0 << 0;
        QTest::newRow("OK after an error") << States{1, 2, 3, 11} << 0 << 0;
        QTest::newRow("Cancel while running") << States{1, 2, 3} << 0 << 1;
        QTest::newRow("title-bar button while running") << States{1, 2, 3} << 1 << 1;
        QTest::newRow("Escape while running") << States{1, 2, 3} << 2 << 1;
        QTest::newRow("title-bar button after success") << kSuccess << 1 << 0;
    }
    void closing() {
        QFETCH(States, states);
        QFETCH(int, how);
        QFETCH(int, cancels);
        QPointer<frmState> dialog = begin();
        fake_->reportAll(states);
        const int before = fake_->cancelCount;
        if (how == 0) {
            QTest::mouseClick(dialog->cmdButton, Qt::LeftButton);
        } else if (how == 1) {
            QVERIFY(dialog->close());
        } else {
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(fake_->cancelCount, before + cancels);
    }

    void secondTest_afterAFailure_startsAfresh() {
        frmState* dialog = begin();
        fake_->reportAll({1, 2, 3});
        fake_->report(11, kReason);
        QCOMPARE(begin(QStringLiteral("ftp://ftp.example.org/f.txt")), dialog);
        QCOMPARE(fake_->protocolsUsed, (States{4, 2}));
        QCOMPARE(dialog->lblState->text(), QString());
        QCOMPARE(dialog->lblCorrect->text(), kStarting);
        QCOMPARE(dialog->cmdButton->text(), QStringLiteral("&Cancel"));
        fake_->reportAll(kSuccess);
        QCOMPARE(dialog->lblCorrect->text(), kCorrect);
    }
};

QTEST_MAIN(tst_LinkTest)
#include "tst_linktest.moc"
