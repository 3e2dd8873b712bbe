#include "LinkTest.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "CurlTransfer.h"
#include "InternetTransfer.h"
#include "Prompts.h"
#include "frmState.h"

namespace {
const QString kAppTitle = QStringLiteral("Orvane Editor");
}

LinkTest::LinkTest(Prompts& prompts, MakeTransfer makeTransfer, QObject* parent)
    : QObject(parent),
      prompts_(prompts),
      makeTransfer_(makeTransfer ? std::move(makeTransfer) : [] { return makeInternetTransfer(); }),
      beep_([] { QApplication::beep(); }) {}

LinkTest::~LinkTest() {
    if (dialog_) {
        delete dialog_.data();
    }
}

frmState* LinkTest::dialog() const {
    return dialog_;
}

int LinkTest::protocolFor(const QString& address) {
    if (address.startsWith(QLatin1String("https"))) {
        return InternetTransfer::HTTPS;
    }
    if (address.startsWith(QLatin1String("http"))) {
        return InternetTransfer::HTTP;
    }
    if (address.startsWith(QLatin1String("ftp"))) {
        return InternetTransfer::FTP;
    }
    if (address.startsWith(QLatin1String("gopther"))) {
        return InternetTransfer::HTTP;
    }
    return 0;
}

QString LinkTest::stateSentence(int state) {
    using S = InternetTransfer::State;
    switch (state) {
        case S::None:
            return QStringLiteral("Orvane Editor Do not Have State to Report.");
        case S::ResolvingHost:
            return QStringLiteral(
                "Orvane Editor is looking up the IP address of the specified host computer.");
        case S::HostResolved:
            return QStringLiteral(
                "Orvane Editor successfully found the IP address of the specified host "
                "computer.");
        case S::Connecting:
            return QStringLiteral("Orvane Editor is connecting to the host computer.");
        case S::Connected:
            return QStringLiteral("Orvane Editor successfully connected to the host computer.");
        case S::Requesting:
            return QStringLiteral("Orvane Editor is sending a request to the host computer.");
        case S::RequestSent:
            return QStringLiteral("Orvane Editor successfully sent the request.");
        case S::ReceivingResponse:
            return QStringLiteral("Orvane Editor is receiving a response from the host computer.");
        case S::ResponseReceived:
            return QStringLiteral(
                "Orvane Editor successfully received a response from the host computer.");
        case S::Disconnecting:
            return QStringLiteral("Orvane Editor is disconnecting from the host computer.");
        case S::Disconnected:
            return QStringLiteral(
                "Orvane Editor successfully disconnected from the host computer.");
        case S::Error:
            return QStringLiteral("An error occurred in communicating with the host computer.");
        case S::ResponseCompleted:
            return QStringLiteral("The request has completed and all data has been received.");
        default:
            return QString();
    }
}

// The component is made on the first test, so that a session that never tests a link never
// loads libcurl.
bool LinkTest::makeIntMain() {
    if (IntMain_) {
        return true;
    }
    IntMain_ = makeTransfer_();
    if (!IntMain_) {
        return false;
    }
    // A successful answer is proven by its first bytes; the rest is not needed.
    IntMain_->setKeepBody(false);
    IntMain_->setBodyLimit(-1);
    IntMain_->setStopAtFirstBytes(true);
    connect(IntMain_.get(), &InternetTransfer::stateChanged, this, &LinkTest::IntMain_StateChanged);
    return true;
}

void LinkTest::start(QWidget* parent, const QString& address) {
    const int protocol = protocolFor(address);
    if (protocol == 0) {
        prompts_.message(parent, QStringLiteral("Orvane Editor cannot test this link"), kAppTitle,
                         Prompts::Icon::None, Prompts::Buttons::Ok);
        return;
    }
    const bool ready = makeIntMain();
    if (ready) {
        IntMain_->cancel();  // a test still running is replaced by this one
    }
    failed_ = false;

    if (!dialog_) {
        dialog_ = new frmState(parent);
        connect(dialog_, &frmState::cancelRequested, this, [this] {
            if (IntMain_) {
                IntMain_->cancel();
            }
        });
    }
    dialog_->lblState->clear();
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
    if (!ready) {
        const QString reason = transferModuleError();
        dialog_->lblCorrect->setText(QStringLiteral("The Link cannot be Tested."));
        dialog_->lblState->setText(
            reason.isEmpty() ? QStringLiteral("Orvane Editor has no Internet transfer component.")
                             : reason);
        dialog_->cmdButton->setText(frmState::OkCaption);
        return;
    }
    dialog_->cmdButton->setText(frmState::CancelCaption);
    dialog_->lblCorrect->setText(QStringLiteral("Starting to Test The Link..."));

    IntMain_->setProtocol(protocol);
    IntMain_->openUrl(address);
}

void LinkTest::IntMain_StateChanged(int state) {
    using S = InternetTransfer::State;
    const QString sentence = stateSentence(state);
    if (sentence.isEmpty()) {
        return;
    }
    // Once a test has failed, closing its connection does not make it a success, and the
    // error stays on screen.
    if (failed_ && state != S::Error) {
        return;
    }
    if (state == S::Error) {
        failed_ = true;
    }
    if (state == S::Disconnected) {
        beep_();
    }
    if (!dialog_) {
        return;  // closed by the user: the test runs on without reopening it
    }
    // The reason line under the sentence: why the test failed, or what the user should know
    // about a link that works.
    const QString reason = state == S::Error ? IntMain_->errorString() : IntMain_->notice();
    dialog_->lblState->setText(reason.isEmpty() ? sentence : sentence + QLatin1Char('\n') + reason);
    if (state == S::ResolvingHost) {
        dialog_->lblCorrect->setText(QStringLiteral("Testing The Link..."));
    } else if (state == S::Disconnected) {
        dialog_->lblCorrect->setText(QStringLiteral("The Link is Correct."));
        dialog_->cmdButton->setText(frmState::OkCaption);
    } else if (state == S::Error) {
        // A failed test is over: the headline says so, and the button only closes.
        dialog_->lblCorrect->setText(QStringLiteral("The Link could not be Reached."));
        dialog_->cmdButton->setText(frmState::OkCaption);
    }
}
