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

LinkTest::LinkTest(Prompts& prompts, std::unique_ptr<InternetTransfer> transfer, QObject* parent)
    : QObject(parent),
      prompts_(prompts),
      IntMain_(transfer ? std::move(transfer) : std::make_unique<CurlTransfer>()),
      beep_([] { QApplication::beep(); }) {
    // The test only needs to know the whole body arrived, however large.
    IntMain_->setKeepBody(false);
    IntMain_->setBodyLimit(-1);
    connect(IntMain_.get(), &InternetTransfer::stateChanged, this, &LinkTest::IntMain_StateChanged);
}

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
        return 5;
    }
    if (address.startsWith(QLatin1String("http"))) {
        return 4;
    }
    if (address.startsWith(QLatin1String("ftp"))) {
        return 2;
    }
    if (address.startsWith(QLatin1String("gopther"))) {
        return 4;
    }
    return 0;
}

QString LinkTest::stateSentence(int state) {
    switch (state) {
        case 0:
            return QStringLiteral("Orvane Editor Do not Have State to Report.");
        case 1:
            return QStringLiteral(
                "Orvane Editor is looking up the IP address of the specified host computer.");
        case 2:
            return QStringLiteral(
                "Orvane Editor successfully found the IP address of the specified host "
                "computer.");
        case 3:
            return QStringLiteral("Orvane Editor is connecting to the host computer.");
        case 4:
            return QStringLiteral("Orvane Editor successfully connected to the host computer.");
        case 5:
            return QStringLiteral("Orvane Editor is sending a request to the host computer.");
        case 6:
            return QStringLiteral("Orvane Editor successfully sent the request.");
        case 7:
            return QStringLiteral("Orvane Editor is receiving a response from the host computer.");
        case 8:
            return QStringLiteral(
                "Orvane Editor successfully received a response from the host computer.");
        case 9:
            return QStringLiteral("Orvane Editor is disconnecting from the host computer.");
        case 10:
            return QStringLiteral(
                "Orvane Editor successfully disconnected from the host computer.");
        case 11:
            return QStringLiteral("An error occurred in communicating with the host computer.");
        case 12:
            return QStringLiteral("The request has completed and all data has been received.");
        default:
            return QString();
    }
}

void LinkTest::start(QWidget* parent, const QString& address) {
    const int protocol = protocolFor(address);
    if (protocol == 0) {
        prompts_.message(parent, QStringLiteral("Orvane Editor cannot test this link"), kAppTitle,
                         Prompts::Icon::None, Prompts::Buttons::Ok);
        return;
    }
    // A test still running is replaced by this one.
    IntMain_->cancel();
    failed_ = false;

    if (!dialog_) {
        dialog_ = new frmState(parent);
        connect(dialog_, &frmState::cancelRequested, IntMain_.get(), &InternetTransfer::cancel);
    }
    dialog_->lblState->clear();
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
    dialog_->cmdButton->setText(frmState::CancelCaption);
    dialog_->lblCorrect->setText(QStringLiteral("Starting to Test The Link..."));

    IntMain_->setProtocol(protocol);
    IntMain_->openUrl(address);
}

void LinkTest::IntMain_StateChanged(int state) {
    const QString sentence = stateSentence(state);
    if (sentence.isEmpty()) {
        return;
    }
    // Once a test has failed, closing its connection does not make it a success, and the
    // error stays on screen.
    if (failed_ && state != InternetTransfer::Error) {
        return;
    }
    if (state == InternetTransfer::Error) {
        failed_ = true;
    }
    if (state == InternetTransfer::Disconnected) {
        beep_();
    }
    if (!dialog_) {
        return;  // closed by the user: the test runs on without reopening it
    }
    QString text = sentence;
    if (state == InternetTransfer::Error && !IntMain_->errorString().isEmpty()) {
        text += QLatin1Char('\n') + IntMain_->errorString();
    }
    dialog_->lblState->setText(text);
    if (state == InternetTransfer::ResolvingHost) {
        dialog_->lblCorrect->setText(QStringLiteral("Testing The Link..."));
    } else if (state == InternetTransfer::Disconnected) {
        dialog_->lblCorrect->setText(QStringLiteral("The Link is Correct."));
        dialog_->cmdButton->setText(frmState::OkCaption);
    }
}
