#pragma once

#include <QString>
#include <QStringList>

#include "LinkFiles.h"

// recent.dat: every path saved with a save-as command, oldest first, one a line.
namespace RecentList {

// Appends `path` and CR LF, starting a new line first when the file does not end with a
// line end. Returns the empty text, or an error sentence naming the file and the reason.
QString append(const QString& recentFile, const QString& path);

// Every line in file order, empty lines included; a missing file is an empty list.
ReadResult<QStringList> read(const QString& recentFile);

}  // namespace RecentList
