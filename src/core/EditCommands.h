#pragma once

class QLineEdit;

// The Edit menu's clipboard routines on an address box. Only text goes to and comes from
// the clipboard.
namespace EditCommands {
void copy(QLineEdit* box);
void cut(QLineEdit* box);
void paste(QLineEdit* box);
}  // namespace EditCommands
