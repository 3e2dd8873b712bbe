#pragma once

#include <QList>
#include <QPair>
#include <QString>

class AppState;
class QWidget;

// Writes values of the options subkey in the given order and reads each one back. The
// settings store reports no failed write of its own, so a value that does not read back as
// written is taken as not saved. Every value not saved is named in one message box over
// `parent`. Returns true when all were saved.
bool writeOptions(AppState& state, QWidget* parent,
                  const QList<QPair<QString, QString>>& namesAndTexts);
