#include "frmSplash.h"

#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

#include "AppTitle.h"
#include "OrvaneE_Class.h"
#include "WindowCentring.h"
#include "frmMain.h"

const QString frmSplash::CopyrightText =
    QStringLiteral("Copyright \u00A9 2026 Tessaly. All rights reserved.");

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int pointSize,
                  bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

}  // namespace

frmSplash::frmSplash(frmMain* mainEditor, int intervalMs, std::function<void()> onTick,
                     QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      mainEditor_(mainEditor),
      onTick_(std::move(onTick)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(AppTitle);
    buildControls();

    OrvaneC_Timer = new QTimer(this);
    OrvaneC_Timer->setObjectName(QStringLiteral("OrvaneC_Timer"));
    OrvaneC_Timer->setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the splash is meant to stay its full time.
    OrvaneC_Timer->setTimerType(Qt::PreciseTimer);
    OrvaneC_Timer->setInterval(intervalMs);
    connect(OrvaneC_Timer, &QTimer::timeout, this, &frmSplash::OrvaneC_Timer_Timer);

    Form_Load();
}

frmSplash::~frmSplash() = default;

void frmSplash::buildControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);
    outer->addWidget(Frame1);

    // The texts of the window's design; the load step replaces all but the platform's.
    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(QPixmap(QStringLiteral(":/icons/orvane-editor.png")));
    imgLogo->setFixedSize(72, 72);
    imgLogo->setAlignment(Qt::AlignCenter);
    lblCompanyProduct =
        makeLabel(Frame1, "lblCompanyProduct", QStringLiteral("CompanyProduct"), 12);
    lblProductName = makeLabel(Frame1, "lblProductName", QStringLiteral("Product"), 26, true);
    lblPlatform = makeLabel(Frame1, "lblPlatform", QStringLiteral("For Windows 95 / NT"), 12);
    lblVersion = makeLabel(Frame1, "lblVersion", QStringLiteral("Version"), 11);
    lblWarning = makeLabel(Frame1, "lblWarning", QStringLiteral("Warning"), 8);
    lblCompany = makeLabel(Frame1, "lblCompany", QStringLiteral("Company"), 9);
    lblCopyright = makeLabel(Frame1, "lblCopyright", QStringLiteral("Copyright"), 9);
    lblPlatform->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCompany->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCopyright->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblWarning->setWordWrap(true);

    auto* grid = new QGridLayout(Frame1);
    grid->setContentsMargins(18, 16, 18, 14);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    grid->addWidget(imgLogo, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblCompanyProduct, 0, 1);
    grid->addWidget(lblProductName, 1, 1);
    grid->addWidget(lblPlatform, 2, 1);
    grid->addWidget(lblVersion, 3, 1);
    grid->setRowMinimumHeight(4, 18);
    grid->addWidget(lblWarning, 5, 0, 2, 1);
    grid->addWidget(lblCompany, 5, 1);
    grid->addWidget(lblCopyright, 6, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    setFixedSize(460, 270);
}

void frmSplash::Form_Load() {
    lblVersion->setText(QStringLiteral("Version ") + OrvaneE_Class::VersionText);
    lblProductName->setText(AppTitle);
    lblCompanyProduct->setText(QStringLiteral("Tessaly"));
    lblWarning->clear();
    lblCopyright->setText(CopyrightText);
    lblCompany->setText(QStringLiteral("Tessaly"));
    // The editor the entry routine prepared is the main window.
    if (mainEditor_ != nullptr) {
        mainEditor_->setNoForm(0);
    }
    centreOnScreen(this);
}

void frmSplash::OrvaneC_Timer_Timer() {
    OrvaneC_Timer->stop();
    if (onTick_) {
        onTick_();
    }
}
