#include "EditCommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

namespace EditCommands {

void copy(QLineEdit* box) {
    QGuiApplication::clipboard()->setText(box->selectedText());
}

// QLineEdit reports a text change for any insert, even one that changes nothing; an
// empty insert without a selection is skipped so it does not mark the link changed.
void cut(QLineEdit* box) {
    QGuiApplication::clipboard()->setText(box->selectedText());
    if (box->hasSelectedText()) {
        box->insert(QString());
    }
}

void paste(QLineEdit* box) {
    const QString text = singleLine(QGuiApplication::clipboard()->text());
    if (!text.isEmpty() || box->hasSelectedText()) {
        box->insert(text);
    }
}

QString singleLine(QString text) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

}  // namespace EditCommands
