#include "frmCheck.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "AppState.h"
#include "CurlTransfer.h"
#include "InternetTransfer.h"
#include "Shell.h"
#include "WebPages.h"
#include "WindowCentring.h"

const QString frmCheck::StartCaption = QStringLiteral("&Start");
const QString frmCheck::CancelCaption = QStringLiteral("&Cancel");
const QString frmCheck::OkCaption = QStringLiteral("&OK");
const QString frmCheck::UpgradeCaption = QStringLiteral("&Upgrade");

namespace {
const QString kYourVersion = QStringLiteral("Your Version : ");
const QString kNewestVersion = QStringLiteral("Newest Version :");
}  // namespace

frmCheck::frmCheck(AppState& state, QWidget* parent)
    : QDialog(parent), state_(state), address_(WebPages::newestVersion()) {
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("Check for Update"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    txtYVer = new QLineEdit(this);
    txtYVer->setObjectName(QStringLiteral("txtYVer"));
    txtYVer->setReadOnly(true);
    txtNewVer = new QLineEdit(kNewestVersion, this);
    txtNewVer->setObjectName(QStringLiteral("txtNewVer"));
    txtNewVer->setReadOnly(true);
    lblState = new QLabel(QStringLiteral("Click Start to look for a newer version."), this);
    lblState->setObjectName(QStringLiteral("lblState"));
    lblState->setWordWrap(true);
    lblState->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblState->setMinimumHeight(lblState->fontMetrics().lineSpacing() * 3);
    lblState->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdButton = new QPushButton(this);
    cmdButton->setObjectName(QStringLiteral("cmdButton"));
    cmdButton->setDefault(true);
    cmdButton->setMinimumWidth(90);
    connect(cmdButton, &QPushButton::clicked, this, &frmCheck::cmdButton_Click);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(txtYVer);
    layout->addWidget(txtNewVer);
    layout->addWidget(lblState);
    layout->addWidget(cmdButton, 0, Qt::AlignHCenter);
    txtYVer->setMinimumWidth(320);

    Form_Load();
}

frmCheck::~frmCheck() = default;

void frmCheck::Form_Load() {
    Orvane_Ver_ = runningVersion();
    cmdButton->setText(StartCaption);
    txtYVer->setText(kYourVersion + Orvane_Ver_);
    centreOnScreen(this);
    cmdButton->setFocus();
}

QString frmCheck::runningVersion() {
    const QString version = QCoreApplication::applicationVersion();
    if (!version.isEmpty()) {
        return version;
    }
    return QStringLiteral("%1.%2.%3")
        .arg(ORVANE_VERSION_MAJOR)
        .arg(ORVANE_VERSION_MINOR)
        .arg(ORVANE_VERSION_PATCH);
}

void frmCheck::cmdButton_Click() {
    const QString caption = cmdButton->text();
    if (caption == StartCaption) {
        startCheck();
    } else if (caption == CancelCaption) {
        if (IntMain_) {
            IntMain_->cancel();
        }
        showFailure(QStringLiteral("The check was cancelled."));
    } else if (caption == OkCaption) {
        accept();
    } else if (caption == UpgradeCaption) {
        state_.openAddress(this, WebPages::upgradePage());
    }
}

void frmCheck::startCheck() {
    // Made on the first check, so that libcurl is loaded only when it is needed.
    if (!IntMain_) {
        IntMain_ = state_.makeTransfer ? state_.makeTransfer() : makeInternetTransfer();
        if (!IntMain_) {
            showFailure(transferModuleError());
            return;
        }
        IntMain_->setKeepBody(true);
        IntMain_->setBodyLimit(MaxAnswerBytes);
        connect(IntMain_.get(), &InternetTransfer::finished, this, &frmCheck::IntMain_Finished);
    }
    cmdButton->setText(CancelCaption);
    lblState->setText(QStringLiteral("Checking the Newest Version..."));
    IntMain_->openUrl(address_);
}

void frmCheck::IntMain_Finished(const QByteArray& body, const QString& error) {
    if (cmdButton->text() != CancelCaption) {
        return;  // no check is waiting for this answer
    }
    if (!error.isEmpty()) {
        showFailure(error);
        return;
    }
    QString problem;
    const std::optional<QString> published = publishedVersion(body, &problem);
    if (!published) {
        showFailure(problem);
        return;
    }
    txtNewVer->setText(QStringLiteral("Newest Version : ") + *published);
    if (compareVersions(*published, Orvane_Ver_) > 0) {
        lblState->setText(QStringLiteral("Click Upgrade to get the upgrade..."));
        cmdButton->setText(UpgradeCaption);
    } else {
        lblState->setText(QStringLiteral("You have get the Newest Version"));
        cmdButton->setText(OkCaption);
    }
}

void frmCheck::showFailure(const QString& reason) {
    lblState->setText(QStringLiteral("The newest version could not be checked.\n") + reason);
    cmdButton->setText(StartCaption);
}

void frmCheck::done(int result) {
    if (IntMain_) {
        IntMain_->cancel();
    }
    QDialog::done(result);
}

std::optional<QString> frmCheck::publishedVersion(const QByteArray& answer, QString* problem) {
    const auto fail = [problem](const QString& why) -> std::optional<QString> {
        if (problem != nullptr) {
            *problem = why;
        }
        return std::nullopt;
    };
    if (answer.size() > MaxAnswerBytes) {
        return fail(QStringLiteral("The answer is larger than %1 bytes.").arg(MaxAnswerBytes));
    }
    qsizetype end = answer.size();
    while (end > 0 && (answer[end - 1] == '\n' || answer[end - 1] == '\r' ||
                       answer[end - 1] == ' ' || answer[end - 1] == '\t')) {
        --end;
    }
    if (end == 0) {
        return fail(QStringLiteral("The answer is empty."));
    }
    // One byte per character, as the file is written.
    const QString text = QString::fromLatin1(answer.constData(), end);
    static const QRegularExpression dotted(QStringLiteral("^[0-9]+(\\.[0-9]+)*$"));
    if (!dotted.match(text).hasMatch()) {
        return fail(QStringLiteral("The answer is not a version number."));
    }
    return text;
}

int frmCheck::compareVersions(const QString& a, const QString& b) {
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    const auto significant = [](const QStringList& parts, qsizetype index) {
        if (index >= parts.size()) {
            return QString();
        }
        QString part = parts[index];
        while (part.startsWith(QLatin1Char('0'))) {
            part.remove(0, 1);
        }
        return part;  // "" for zero
    };
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const QString x = significant(left, i);
        const QString y = significant(right, i);
        // Digit strings without leading zeros: the longer is the larger, however long.
        if (x.size() != y.size()) {
            return x.size() < y.size() ? -1 : 1;
        }
        if (const int order = x.compare(y); order != 0) {
            return order < 0 ? -1 : 1;
        }
    }
    return 0;
}
