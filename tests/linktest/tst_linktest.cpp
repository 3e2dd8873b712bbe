#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "AppState.h"
#include "FakeTransfer.h"
#include "IniSettingsBackend.h"
#include "LinkTest.h"
#include "RecordingShell.h"
#include "Registry.h"
#include "ScriptedPrompts.h"
#include "frmState.h"

namespace {
const QList<int> kSuccess = {1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
const QString kStarting = QStringLiteral("Starting to Test The Link...");
const QString kTesting = QStringLiteral("Testing The Link...");
const QString kCorrect = QStringLiteral("The Link is Correct.");
const QString kErrorSentence =
    QStringLiteral("An error occurred in communicating with the host computer.");
}  // namespace

class tst_LinkTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void start_data();
    void start();
    void states_data();
    void states();
    void ok_afterSuccess_closesWithoutCancel();
    void cancel_afterError_cancelsOnceAndCloses();
    void closeBox_doesNotCancel_laterStatesDoNotReopen();
    void escape_closesWithoutCancel();
    void secondTest_whileRunning_cancelsFirstAndStartsAfresh();
    void secondTest_afterFailure_canSucceed();
    void dialog_layoutAndCentring();
    void install_plugsIntoAppState();

private:
    frmState* startTest(const QString& address);

    ScriptedPrompts prompts_;
    FakeTransfer* fake_ = nullptr;
    std::unique_ptr<LinkTest> test_;
    int beeps_ = 0;
};

void tst_LinkTest::init() {
    prompts_.clear();
    beeps_ = 0;
    auto fake = std::make_unique<FakeTransfer>();
    fake_ = fake.get();
    test_ = std::make_unique<LinkTest>(prompts_, std::move(fake));
    test_->setBeep([this] { ++beeps_; });
}

void tst_LinkTest::cleanup() {
    test_.reset();
    QCOMPARE(prompts_.pendingAnswers(), 0);
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

frmState* tst_LinkTest::startTest(const QString& address) {
    test_->start(nullptr, address);
    return test_->dialog();
}

void tst_LinkTest::start_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("protocol");  // 0: refused

    QTest::newRow("web address") << "http://www.example.org/" << 4;
    QTest::newRow("secure web address") << "https://www.example.org/" << 5;
    QTest::newRow("FTP address") << "ftp://ftp.example.org/f.txt" << 2;
    QTest::newRow("gopther address") << "gopther://gopher.example.org/" << 4;
    QTest::newRow("word http without separator") << "httpexample" << 4;
    QTest::newRow("capital scheme") << "HTTP://www.example.org/" << 0;
    QTest::newRow("telnet address") << "telnet://host.example.org/" << 0;
    QTest::newRow("other scheme") << "mailto:anne@example.org" << 0;
    QTest::newRow("leading blank") << " http://www.example.org/" << 0;
    QTest::newRow("empty address") << "" << 0;
}

void tst_LinkTest::start() {
    QFETCH(QString, address);
    QFETCH(int, protocol);

    if (protocol == 0) {
        prompts_.answerMessage(Prompts::Answer::Ok);
    }
    frmState* dialog = startTest(address);

    if (protocol == 0) {
        QVERIFY(dialog == nullptr);
        QVERIFY(fake_->openedUrls.isEmpty());
        QCOMPARE(prompts_.calls.size(), 1);
        QCOMPARE(prompts_.calls[0].text, QStringLiteral("Orvane Editor cannot test this link"));
        QCOMPARE(prompts_.calls[0].title, QStringLiteral("Orvane Editor"));
        QCOMPARE(prompts_.calls[0].buttons, Prompts::Buttons::Ok);
        return;
    }
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Orvane Editor - Testing the Link..."));
    QCOMPARE(dialog->lblCorrect->text(), kStarting);
    QCOMPARE(dialog->cmdButton->text(), QStringLiteral("&Cancel"));
    QCOMPARE(fake_->openedUrls, QStringList{address});
    QCOMPARE(fake_->protocolsUsed, QList<int>{protocol});
    // The link test keeps no body, and so sets no limit on it.
    QVERIFY(!fake_->keepBody());
    QVERIFY(fake_->bodyLimitsUsed.first() < 0);
    QVERIFY(prompts_.calls.isEmpty());
}

void tst_LinkTest::states_data() {
    QTest::addColumn<QList<int>>("states");
    QTest::addColumn<QString>("reason");  // errorString() of state 11
    QTest::addColumn<QString>("lblState");
    QTest::addColumn<QString>("lblCorrect");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("beeps");

    const QString cancel = QStringLiteral("&Cancel");
    const QString ok = QStringLiteral("&OK");
    QTest::newRow("whole successful exchange")
        << kSuccess << QString()
        << "Orvane Editor successfully disconnected from the host computer." << kCorrect << ok << 1;
    QTest::newRow("state 0") << QList<int>{0} << QString()
                             << "Orvane Editor Do not Have State to Report." << kStarting << cancel
                             << 0;
    QTest::newRow("lookup changes the headline")
        << QList<int>{1} << QString()
        << "Orvane Editor is looking up the IP address of the specified host computer." << kTesting
        << cancel << 0;
    QTest::newRow("found") << QList<int>{1, 2} << QString()
                           << "Orvane Editor successfully found the IP address of the "
                              "specified host computer."
                           << kTesting << cancel << 0;
    QTest::newRow("connecting") << QList<int>{1, 2, 3} << QString()
                                << "Orvane Editor is connecting to the host computer." << kTesting
                                << cancel << 0;
    QTest::newRow("connected") << QList<int>{1, 2, 3, 4} << QString()
                               << "Orvane Editor successfully connected to the host computer."
                               << kTesting << cancel << 0;
    QTest::newRow("sending") << QList<int>{5} << QString()
                             << "Orvane Editor is sending a request to the host computer."
                             << kStarting << cancel << 0;
    QTest::newRow("sent") << QList<int>{6} << QString()
                          << "Orvane Editor successfully sent the request." << kStarting << cancel
                          << 0;
    QTest::newRow("receiving") << QList<int>{7} << QString()
                               << "Orvane Editor is receiving a response from the host "
                                  "computer."
                               << kStarting << cancel << 0;
    QTest::newRow("received") << QList<int>{8} << QString()
                              << "Orvane Editor successfully received a response from the "
                                 "host computer."
                              << kStarting << cancel << 0;
    QTest::newRow("completed") << QList<int>{8, 12} << QString()
                               << "The request has completed and all data has been received."
                               << kStarting << cancel << 0;
    QTest::newRow("disconnecting")
        << QList<int>{12, 9} << QString()
        << "Orvane Editor is disconnecting from the host computer." << kStarting << cancel << 0;
    QTest::newRow("state 13 changes nothing") << QList<int>{1, 13} << QString()
                                              << "Orvane Editor is looking up the IP address "
                                                 "of the specified host computer."
                                              << kTesting << cancel << 0;
    QTest::newRow("negative state changes nothing")
        << QList<int>{-1} << QString() << QString() << kStarting << cancel << 0;
    QTest::newRow("error shows its reason on a second line")
        << QList<int>{1, 2, 3, 4, 5, 6, 7, 11} << "HTTP 404 Not Found"
        << kErrorSentence + "\nHTTP 404 Not Found" << kTesting << cancel << 0;
    QTest::newRow("disconnect after an error is no success")
        << QList<int>{1, 2, 3, 11, 9, 10}
        << "Failed to connect to 127.0.0.1 port 9: Couldn't connect to server"
        << kErrorSentence + "\nFailed to connect to 127.0.0.1 port 9: Couldn't connect to server"
        << kTesting << cancel << 0;
    QTest::newRow("error without a reason")
        << QList<int>{11} << QString() << kErrorSentence << kStarting << cancel << 0;
    QTest::newRow("error after success changes only the state")
        << kSuccess + QList<int>{11} << "late" << kErrorSentence + "\nlate" << kCorrect << ok << 1;
}

void tst_LinkTest::states() {
    QFETCH(QList<int>, states);
    QFETCH(QString, reason);
    QFETCH(QString, lblState);
    QFETCH(QString, lblCorrect);
    QFETCH(QString, button);
    QFETCH(int, beeps);

    frmState* dialog = startTest(QStringLiteral("http://www.example.org/"));
    QVERIFY(dialog != nullptr);
    for (const int state : states) {
        fake_->report(state, reason);
    }
    QCOMPARE(dialog->lblState->text(), lblState);
    QCOMPARE(dialog->lblCorrect->text(), lblCorrect);
    QCOMPARE(dialog->cmdButton->text(), button);
    QCOMPARE(beeps_, beeps);
    QVERIFY(dialog->isVisible());
    QCOMPARE(fake_->cancelCount, 1);  // only the one every start makes before opening
}

void tst_LinkTest::ok_afterSuccess_closesWithoutCancel() {
    QPointer<frmState> dialog = startTest(QStringLiteral("https://www.example.org/"));
    fake_->reportAll(kSuccess);
    const int cancelsBefore = fake_->cancelCount;
    QTest::mouseClick(dialog->cmdButton, Qt::LeftButton);
    QTRY_VERIFY(dialog.isNull());
    QCOMPARE(fake_->cancelCount, cancelsBefore);
    QVERIFY(test_->dialog() == nullptr);
}

void tst_LinkTest::cancel_afterError_cancelsOnceAndCloses() {
    QPointer<frmState> dialog = startTest(QStringLiteral("ftp://ftp.example.org/f"));
    fake_->reportAll({1, 2, 3});
    fake_->report(11, QStringLiteral("FTP 550 No such file"));
    const int cancelsBefore = fake_->cancelCount;
    QTest::mouseClick(dialog->cmdButton, Qt::LeftButton);
    QTRY_VERIFY(dialog.isNull());
    QCOMPARE(fake_->cancelCount, cancelsBefore + 1);
}

void tst_LinkTest::closeBox_doesNotCancel_laterStatesDoNotReopen() {
    QPointer<frmState> dialog = startTest(QStringLiteral("http://www.example.org/"));
    fake_->reportAll({1, 2, 3});
    const int cancelsBefore = fake_->cancelCount;
    QVERIFY(dialog->close());
    QTRY_VERIFY(dialog.isNull());
    fake_->reportAll({4, 5, 6, 7, 8, 12, 9, 10});
    QCOMPARE(fake_->cancelCount, cancelsBefore);
    QVERIFY(test_->dialog() == nullptr);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
    QCOMPARE(beeps_, 1);  // success is still sounded

    // The next test opens the dialog afresh.
    frmState* next = startTest(QStringLiteral("http://www.example.org/"));
    QVERIFY(next != nullptr && next->isVisible());
    QCOMPARE(next->lblCorrect->text(), kStarting);
    QCOMPARE(next->cmdButton->text(), QStringLiteral("&Cancel"));
}

void tst_LinkTest::escape_closesWithoutCancel() {
    QPointer<frmState> dialog = startTest(QStringLiteral("http://www.example.org/"));
    const int cancelsBefore = fake_->cancelCount;
    QTest::keyClick(dialog, Qt::Key_Escape);
    QTRY_VERIFY(dialog.isNull());
    QCOMPARE(fake_->cancelCount, cancelsBefore);
}

void tst_LinkTest::secondTest_whileRunning_cancelsFirstAndStartsAfresh() {
    frmState* dialog = startTest(QStringLiteral("http://first.example.org/"));
    fake_->reportAll({1, 2, 3, 4, 5, 6, 7});
    const int cancelsBefore = fake_->cancelCount;
    QCOMPARE(startTest(QStringLiteral("ftp://second.example.org/")), dialog);
    QCOMPARE(fake_->cancelCount, cancelsBefore + 1);
    QCOMPARE(fake_->openedUrls,
             (QStringList{"http://first.example.org/", "ftp://second.example.org/"}));
    QCOMPARE(fake_->protocolsUsed, (QList<int>{4, 2}));
    QCOMPARE(dialog->lblCorrect->text(), kStarting);
    QCOMPARE(dialog->lblState->text(), QString());
    QCOMPARE(dialog->cmdButton->text(), QStringLiteral("&Cancel"));
}

void tst_LinkTest::secondTest_afterFailure_canSucceed() {
    frmState* dialog = startTest(QStringLiteral("http://www.example.org/missing"));
    fake_->reportAll({1, 2, 3, 4, 5, 6, 7});
    fake_->report(11, QStringLiteral("HTTP 404 Not Found"));
    fake_->reportAll({9, 10});
    startTest(QStringLiteral("http://www.example.org/"));
    fake_->reportAll(kSuccess);
    QCOMPARE(dialog->lblCorrect->text(), kCorrect);
    QCOMPARE(dialog->cmdButton->text(), QStringLiteral("&OK"));
    QCOMPARE(beeps_, 1);
}

void tst_LinkTest::dialog_layoutAndCentring() {
    frmState* dialog = startTest(QStringLiteral("http://www.example.org/"));
    fake_->report(11, QStringLiteral("a reason long enough to need more than one line of the "
                                     "dialog, as libcurl's own messages sometimes do"));
    const QRect screen = dialog->screen()->geometry();
    QCOMPARE(dialog->x(), screen.left() + (screen.width() - dialog->width()) / 2);
    QCOMPARE(dialog->y(), screen.top() + (screen.height() - dialog->height()) / 2);

    const QRect headline = dialog->lblCorrect->geometry();
    const QRect caption = dialog->Label1->geometry();
    const QRect state = dialog->lblState->geometry();
    const QRect button = dialog->cmdButton->geometry();
    QCOMPARE(dialog->Label1->text(), QStringLiteral("State :"));
    QVERIFY(headline.bottom() < caption.top() && headline.bottom() < state.top());
    QVERIFY(caption.right() < state.left());
    QCOMPARE(caption.top(), state.top());
    QVERIFY(state.bottom() < button.top());
    // The whole error and its reason fit.
    QVERIFY(dialog->lblState->heightForWidth(state.width()) <= state.height());
    for (QLabel* label : {dialog->lblCorrect, dialog->Label1, dialog->lblState}) {
        QCOMPARE(label->font().family(), QStringLiteral("Arial"));
    }
}

void tst_LinkTest::install_plugsIntoAppState() {
    QTemporaryDir dir;
    IniSettingsBackend backend(dir.filePath(QStringLiteral("user.conf")),
                               dir.filePath(QStringLiteral("system.conf")));
    Registry registry(backend);
    RecordingShell shell;
    AppState state(prompts_, shell, registry);
    FakeTransfer* made = nullptr;
    state.makeTransfer = [&made]() -> std::unique_ptr<InternetTransfer> {
        auto transfer = std::make_unique<FakeTransfer>();
        made = transfer.get();
        return transfer;
    };
    LinkTest* installed = LinkTest::install(state);
    installed->setBeep([this] { ++beeps_; });
    QVERIFY(made != nullptr);

    state.startLinkTest(nullptr, QStringLiteral("gopther://gopher.example.org/"));
    QCOMPARE(made->openedUrls, QStringList{"gopther://gopher.example.org/"});
    QCOMPARE(made->protocolsUsed, QList<int>{4});
    QVERIFY(installed->dialog() != nullptr);
}

QTEST_MAIN(tst_LinkTest)
#include "tst_linktest.moc"
