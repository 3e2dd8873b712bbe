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
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty() || box->hasSelectedText()) {
        box->insert(text);
    }
}

}  // namespace EditCommands
