#include "frmAbout.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "AppState.h"
#include "AppTitle.h"
#include "Prompts.h"
#include "SystemInfoTool.h"
#include "WindowCentring.h"
#include "frmCheck.h"

#ifdef Q_OS_WIN
#include "WinRegistry.h"
#endif

namespace {

#ifdef Q_OS_WIN
// MSINFO32's path from its two registry locations (tested under Wine), or empty.
QString systemInfoPath() {
    const std::optional<std::string> path = WinRegistry::FindSysInfoTool(HKEY_LOCAL_MACHINE);
    return path ? QString::fromLocal8Bit(path->c_str()) : QString();
}
#endif

}  // namespace

frmAbout::frmAbout(AppState& state, QWidget* parent)
    : QDialog(parent),
      state_(state),
      searchPath_(qEnvironmentVariable("PATH")),
      startProgram_([](const QString& program) { return QProcess::startDetached(program, {}); }) {
    setModal(true);

    picIcon = new QLabel(this);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) {
        icon = style()->standardIcon(QStyle::SP_FileLinkIcon);
    }
    picIcon->setPixmap(icon.pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    lblTitle = new QLabel(this);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel(this);
    lblCopyright = new QLabel(this);
    lblCopyright->setWordWrap(true);
    lblCopyright->setMinimumWidth(360);

    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::HLine);
    Frame1->setFrameShadow(QFrame::Sunken);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdCheck = new QPushButton(QStringLiteral("Check for Upgrade"), this);
    cmdOK->setDefault(true);

    auto* labels = new QVBoxLayout;
    labels->addWidget(lblTitle);
    labels->addWidget(lblVersion);
    labels->addSpacing(12);
    labels->addWidget(lblCopyright);
    labels->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addSpacing(12);
    top->addLayout(labels, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCheck);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget::setTabOrder(cmdOK, cmdSysInfo);
    QWidget::setTabOrder(cmdSysInfo, cmdCheck);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(cmdCheck, &QPushButton::clicked, this, &frmAbout::cmdCheck_Click);

    // Controls carry their names, for tests and for accessibility tools.
    picIcon->setObjectName(QStringLiteral("picIcon"));
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdCheck->setObjectName(QStringLiteral("cmdCheck"));

    // Load step.
    lblCopyright->setText(copyrightText());
    setWindowTitle(QStringLiteral("About ") + AppTitle);
    lblVersion->setText(QStringLiteral("Version ") + versionText());
    lblTitle->setText(AppTitle);
    centreOnScreen(this);
    cmdOK->setFocus();
}

QString frmAbout::versionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(ORVANE_VERSION_MAJOR)
        .arg(ORVANE_VERSION_MINOR)
        .arg(ORVANE_VERSION_PATCH);
}

QString frmAbout::copyrightText() {
    return QStringLiteral(
        "Copyright \u00A9 Tessaly. All rights reserved.\n"
        "Orvane Editor makes and edits Internet shortcuts and RealMedia "
        "links.");
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::cmdCheck_Click() {
    // The about box stays open beneath the update check and takes input again when it closes.
    auto* check = new frmCheck(state_, this);
    // exec() deletes it when it closes, and not twice should the about box go first.
    check->setAttribute(Qt::WA_DeleteOnClose);
    check->exec();
}

void frmAbout::StartSysInfo() {
#ifdef Q_OS_WIN
    const QString program = systemInfoPath();
#else
    const QString program = SystemInfoTool::find(searchPath_);
#endif
    if (!program.isEmpty() && startProgram_ && startProgram_(program)) {
        return;
    }
    state_.prompts.message(this, QStringLiteral("System Information Is Unavailable At This Time"),
                           AppTitle, Prompts::Icon::None, Prompts::Buttons::Ok);
}
