#include "frmTip.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "AppState.h"
#include "OptionWrites.h"
#include "Registry.h"
#include "TextFileIo.h"
#include "WindowCentring.h"
#include "Windows.h"

namespace {
const QString TipsFileName = QStringLiteral("tod.dat");
}

frmTip::frmTip(AppState& state, QWidget* parent, RandomSource random)
    : QDialog(parent), state_(state), random_(std::move(random)) {
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setModal(true);

    auto* Picture1 = new QLabel(this);
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    Picture1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    Label1 = new QLabel(QStringLiteral("Did you know..."), this);
    QFont headingFont = Label1->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    Label1->setFont(headingFont);

    lblTipText = new QLabel(this);
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTipText->setTextFormat(Qt::PlainText);
    lblTipText->setMinimumSize(360, 130);
    lblTipText->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* tipFrame = new QFrame(this);
    tipFrame->setFrameShape(QFrame::StyledPanel);
    tipFrame->setBackgroundRole(QPalette::Base);
    tipFrame->setAutoFillBackground(true);
    auto* tipLayout = new QHBoxLayout(tipFrame);
    tipLayout->addWidget(Picture1);
    auto* textLayout = new QVBoxLayout;
    textLayout->addWidget(Label1);
    textLayout->addWidget(lblTipText, 1);
    tipLayout->addLayout(textLayout, 1);

    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    cmdNextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkLoadTipsAtStartup);
    buttons->addStretch(1);
    buttons->addWidget(cmdNextTip);
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tipFrame, 1);
    layout->addLayout(buttons);

    connect(chkLoadTipsAtStartup, &QCheckBox::toggled, this, &frmTip::chkLoadTipsAtStartup_Click);
    connect(cmdNextTip, &QPushButton::clicked, this, &frmTip::cmdNextTip_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmTip::cmdOK_Click);

    if (!random_) {
        random_ = [] { return QRandomGenerator::global()->generateDouble(); };
    }

    // Controls carry their names, for tests and for accessibility tools.
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));

    // Load step.
    centreOnScreen(this);
    chkLoadTipsAtStartup->setChecked(true);
    const QString file = tipsFile(state_);
    if (!LoadTips(file)) {
        if (file.isEmpty() || !QFileInfo::exists(file)) {
            lblTipText->setText(notFoundMessage());
        }
    }
}

QString frmTip::tipsFile(const AppState& state) {
    if (state.dataDir.isEmpty()) {
        return QString();
    }
    return QDir(state.dataDir).filePath(TipsFileName);
}

QString frmTip::notFoundMessage() {
    return QStringLiteral("That the ") + TipsFileName + QStringLiteral(" file was not found? ") +
           QStringLiteral("\r\n") + QStringLiteral("\r\n") +
           QStringLiteral("Create a text file named ") + TipsFileName +
           QStringLiteral(" using NotePad with 1 tip per line. ") +
           QStringLiteral("Then place it in the same directory as the application. ");
}

bool frmTip::LoadTips(const QString& sFile) {
    if (sFile.isEmpty() || !QFileInfo::exists(sFile)) {
        return false;
    }
    QStringList lines;
    const QString error = TextFileIo::readDataFile(sFile, lines);
    if (!error.isEmpty()) {
        // A tips file that is there but cannot be read says why, in place of a tip.
        lblTipText->setText(error);
        return false;
    }
    TipList.append(lines);
    PickRandomTip();
    return true;
}

void frmTip::PickRandomTip() {
    const qsizetype count = TipList.size();
    if (count > 0) {
        // Tip k is chosen when k - 1 <= count * r < k; the clamp guards a source that
        // returns 1 or more.
        const double r = std::clamp(random_(), 0.0, 1.0);
        TipIndex = int(std::min<qsizetype>(qsizetype(double(count) * r) + 1, count));
    }
    DisplayCurrentTip();
}

void frmTip::DisplayCurrentTip() {
    if (!TipList.isEmpty() && TipIndex >= 1) {
        lblTipText->setText(TipList.at(TipIndex - 1));
    }
}

void frmTip::chkLoadTipsAtStartup_Click() {
    writeOptions(state_, this,
                 {{Registry::ShowTipsAtStartup,
                   chkLoadTipsAtStartup->isChecked() ? QStringLiteral("1") : QStringLiteral("0")}});
}

void frmTip::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmTip::cmdNextTip_Click() {
    PickRandomTip();
}

void frmTip::cmdOK_Click() {
    const bool showWizard = state_.registry.flag(Registry::ShowStartupWizard);
    QWidget* owner = parentWidget();
    // Closing ends the modal loop once this handler returns; the wizard nests inside it, so
    // whoever showed the tips waits for the wizard too.
    accept();
    if (showWizard) {
        state_.windows().showWizard(owner, nullptr);
    }
}
