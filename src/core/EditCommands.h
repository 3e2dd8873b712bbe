#pragma once

#include <QString>

class QLineEdit;

// The Edit menu's clipboard routines on an address box. Only text goes to and comes from
// the clipboard.
namespace EditCommands {
void copy(QLineEdit* box);
void cut(QLineEdit* box);
void paste(QLineEdit* box);
// Pasted or dropped text without its line breaks: an address is one line, and a break
// inside it would be saved as a second line of a RealMedia file.
QString singleLine(QString text);
}  // namespace EditCommands
