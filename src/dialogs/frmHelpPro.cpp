#include "frmHelpPro.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "WindowCentring.h"

frmHelpPro::frmHelpPro(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Orvane Editor Help"));

    lblTitle = new QLabel(this);
    lblTitle->setTextFormat(Qt::PlainText);
    lblTitle->setWordWrap(true);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);

    txtPro = new QPlainTextEdit(this);
    txtPro->setReadOnly(true);
    txtPro->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtPro->setMinimumSize(480, 320);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(txtPro, 1);

    // Controls carry their names, for tests and for accessibility tools.
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    txtPro->setObjectName(QStringLiteral("txtPro"));

    resize(560, 440);
    centreOnScreen(this);
}
