#include "frmState.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "WindowCentring.h"

const QString frmState::Title = QStringLiteral("Orvane Editor - Testing the Link...");
const QString frmState::CancelCaption = QStringLiteral("&Cancel");
const QString frmState::OkCaption = QStringLiteral("&OK");

namespace {
constexpr int kStateWidth = 360;
// Two lines for the longest state sentence, more for the reason of a failure.
constexpr int kStateLines = 4;
}  // namespace

frmState::frmState(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmState"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Title);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(9);
    QFont headline = arial;
    headline.setPointSize(11);
    headline.setBold(true);

    lblCorrect = new QLabel(this);
    lblCorrect->setObjectName(QStringLiteral("lblCorrect"));
    lblCorrect->setFont(headline);

    Label1 = new QLabel(QStringLiteral("State :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(arial);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblState = new QLabel(this);
    lblState->setObjectName(QStringLiteral("lblState"));
    lblState->setFont(arial);
    lblState->setWordWrap(true);
    lblState->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblState->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblState->setFixedWidth(kStateWidth);
    lblState->setMinimumHeight(QFontMetrics(arial).lineSpacing() * kStateLines);

    cmdButton = new QPushButton(this);
    cmdButton->setObjectName(QStringLiteral("cmdButton"));
    cmdButton->setDefault(true);
    cmdButton->setMinimumWidth(90);
    connect(cmdButton, &QPushButton::clicked, this, &frmState::cmdButton_Click);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(12);
    layout->addWidget(lblCorrect, 0, 0, 1, 2);
    layout->addWidget(Label1, 1, 0);
    layout->addWidget(lblState, 1, 1);
    layout->addWidget(cmdButton, 2, 0, 1, 2, Qt::AlignHCenter);

    Form_Load();
}

void frmState::cmdButton_Click() {
    const QString caption = cmdButton->text();
    if (caption == OkCaption || caption == CancelCaption) {
        close();  // the "&Cancel" caption cancels the test on the way out (done)
    }
}

void frmState::done(int result) {
    if (cmdButton->text() == CancelCaption) {
        emit cancelRequested();
    }
    QDialog::done(result);
}

// Centres the dialog on the screen it will show on.
void frmState::Form_Load() {
    adjustSize();
    centreOnScreen(this);
}
