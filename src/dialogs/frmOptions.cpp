#include "frmOptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "AppState.h"
#include "LinkKinds.h"
#include "OptionWrites.h"
#include "Registry.h"
#include "WindowCentring.h"

namespace {

QString flagText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

frmOptions::frmOptions(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setWindowTitle(QStringLiteral("Properties of Orvane Editor"));
    setModal(true);

    Frame1 = new QGroupBox(QStringLiteral("Startup"), this);
    chkShowTip = new QCheckBox(QStringLiteral("Show Tip of the Day"), Frame1);
    chkShowWizard = new QCheckBox(QStringLiteral("Show Wizard"), Frame1);
    chkRM = new QCheckBox(QStringLiteral("Show RealMedia Link Editor"), Frame1);
    auto* startupLayout = new QGridLayout(Frame1);
    startupLayout->addWidget(chkShowTip, 0, 0);
    startupLayout->addWidget(chkShowWizard, 1, 0);
    startupLayout->addWidget(chkRM, 0, 1);
    startupLayout->setColumnStretch(0, 1);
    startupLayout->setColumnStretch(1, 1);
    startupLayout->setHorizontalSpacing(24);

    Frame2 = new QGroupBox(QStringLiteral("Default Link"), this);
    optFTP = new QRadioButton(QStringLiteral("FTP Link"), Frame2);
    optGopther = new QRadioButton(QStringLiteral("Gopther Link"), Frame2);
    optTelnet = new QRadioButton(QStringLiteral("Telnet Link"), Frame2);
    optHTTP = new QRadioButton(QStringLiteral("Web Link"), Frame2);
    optHTTPS = new QRadioButton(QStringLiteral("Web ( SSL ) Link"), Frame2);
    auto* linkLayout = new QGridLayout(Frame2);
    linkLayout->addWidget(optFTP, 0, 0);
    linkLayout->addWidget(optGopther, 1, 0);
    linkLayout->addWidget(optTelnet, 2, 0);
    linkLayout->addWidget(optHTTP, 0, 1);
    linkLayout->addWidget(optHTTPS, 1, 1);
    linkLayout->setColumnStretch(0, 1);
    linkLayout->setColumnStretch(1, 1);
    linkLayout->setHorizontalSpacing(24);
    defaultLinkButtons_ = new QButtonGroup(this);
    for (QRadioButton* button : {optFTP, optGopther, optTelnet, optHTTP, optHTTPS}) {
        defaultLinkButtons_->addButton(button);
    }

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdApply = new QPushButton(QStringLiteral("&Apply"), this);
    cmdOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdApply);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget::setTabOrder(chkShowTip, chkShowWizard);
    QWidget::setTabOrder(chkShowWizard, chkRM);
    QWidget::setTabOrder(chkRM, optFTP);
    QWidget::setTabOrder(optFTP, optGopther);
    QWidget::setTabOrder(optGopther, optTelnet);
    QWidget::setTabOrder(optTelnet, optHTTP);
    QWidget::setTabOrder(optHTTP, optHTTPS);
    QWidget::setTabOrder(optHTTPS, cmdOK);
    QWidget::setTabOrder(cmdOK, cmdCancel);
    QWidget::setTabOrder(cmdCancel, cmdApply);

    // Only the user's clicks count as changes; filling the controls does not.
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(chkRM), static_cast<QAbstractButton*>(chkShowTip),
          static_cast<QAbstractButton*>(chkShowWizard)}) {
        connect(button, &QAbstractButton::clicked, this, &frmOptions::optionClicked);
    }
    connect(defaultLinkButtons_, &QButtonGroup::buttonClicked, this, &frmOptions::optionClicked);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);

    // Controls carry their names, for tests and for accessibility tools.
    Frame1->setObjectName(QStringLiteral("Frame1"));
    chkShowTip->setObjectName(QStringLiteral("chkShowTip"));
    chkShowWizard->setObjectName(QStringLiteral("chkShowWizard"));
    chkRM->setObjectName(QStringLiteral("chkRM"));
    Frame2->setObjectName(QStringLiteral("Frame2"));
    optFTP->setObjectName(QStringLiteral("optFTP"));
    optGopther->setObjectName(QStringLiteral("optGopther"));
    optTelnet->setObjectName(QStringLiteral("optTelnet"));
    optHTTP->setObjectName(QStringLiteral("optHTTP"));
    optHTTPS->setObjectName(QStringLiteral("optHTTPS"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdApply->setObjectName(QStringLiteral("cmdApply"));

    // Load step.
    centreOnScreen(this);
    loadFromSettings();
}

void frmOptions::loadFromSettings() {
    const Registry& registry = state_.registry;
    const bool showTips = registry.flag(Registry::ShowTipsAtStartup);
    const bool showWizard = registry.flag(Registry::ShowStartupWizard);
    const bool showEditor = registry.flag(Registry::ShowEditorAtStartup);
    const SettingText defaultLink = registry.option(Registry::DefaultLink);
    setControls(showEditor, showTips, showWizard, defaultLink.value_or(QString()));
}

void frmOptions::setControls(bool showEditor, bool showTips, bool showWizard,
                             const QString& defaultLink) {
    chkRM->setChecked(showEditor);
    chkShowTip->setChecked(showTips);
    chkShowWizard->setChecked(showWizard);
    selectDefaultLink(defaultLink);
    cmdApply->setEnabled(false);
}

void frmOptions::selectDefaultLink(const QString& defaultLink) {
    // Exact comparison, in this order; no match leaves every button cleared.
    const std::pair<Kind, QRadioButton*> rows[] = {
        {Kind::Ftp, optFTP},        {Kind::Web, optHTTP},        {Kind::Telnet, optTelnet},
        {Kind::Gopher, optGopther}, {Kind::SecureWeb, optHTTPS},
    };
    defaultLinkButtons_->setExclusive(false);
    for (QAbstractButton* button : defaultLinkButtons_->buttons()) {
        button->setChecked(false);
    }
    defaultLinkButtons_->setExclusive(true);
    for (const auto& [kind, button] : rows) {
        if (defaultLink == kindInfo(kind).defaultLinkText) {
            button->setChecked(true);
            break;
        }
    }
}

void frmOptions::optionClicked() {
    cmdApply->setEnabled(true);
}

bool frmOptions::Saving() {
    QList<QPair<QString, QString>> values{
        {Registry::ShowEditorAtStartup, flagText(chkRM)},
        {Registry::ShowTipsAtStartup, flagText(chkShowTip)},
        {Registry::ShowStartupWizard, flagText(chkShowWizard)},
    };
    const std::pair<QRadioButton*, Kind> rows[] = {
        {optFTP, Kind::Ftp},  {optGopther, Kind::Gopher},  {optTelnet, Kind::Telnet},
        {optHTTP, Kind::Web}, {optHTTPS, Kind::SecureWeb},
    };
    for (const auto& [button, kind] : rows) {
        if (button->isChecked()) {
            values.append({Registry::DefaultLink, kindInfo(kind).defaultLinkText});
            break;
        }
    }
    return writeOptions(state_, this, values);
}

void frmOptions::cmdApply_Click() {
    // A value that did not stick keeps Apply on: there is still something to apply.
    if (Saving()) {
        cmdApply->setEnabled(false);
    }
}

void frmOptions::cmdOK_Click() {
    if (Saving()) {
        accept();
    } else {
        cmdApply->setEnabled(true);
    }
}

void frmOptions::cmdCancel_Click() {
    reject();
}
