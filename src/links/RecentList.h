#pragma once

#include <QString>
#include <QStringList>

#include "LinkFiles.h"

// recent.dat: every path saved with a save-as command, oldest first, one a line.
namespace RecentList {

// The list only grows: of a larger file, or one of more than lineCountCap lines, the newest
// entries are read (a million paths take some 50 MiB).
inline constexpr qint64 sizeCap = linkFileSizeCap;

// Appends `path` (UTF-8) and CR LF, starting a new line first when the file does not end
// with a line end. Returns the empty text, or an error sentence naming the file and the
// reason. An empty path adds nothing; a path with a line break in it is refused, since it
// would read back as two entries.
QString append(const QString& recentFile, const QString& path);

// Every line in file order, empty lines included; a missing file is an empty list. A line
// over lineCap bytes is refused.
ReadResult<LineStore> readLines(const QString& recentFile);
ReadResult<QStringList> read(const QString& recentFile);

}  // namespace RecentList
