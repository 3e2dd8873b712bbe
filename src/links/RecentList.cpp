#include "RecentList.h"

#include "SafeWrite.h"
#include "TextFileIo.h"

using namespace TextFileIo;

namespace RecentList {

QString append(const QString& recentFile, const QString& path) {
    if (path.isEmpty()) {
        return QString();
    }
    if (path.contains(QLatin1Char('\r')) || path.contains(QLatin1Char('\n'))) {
        return saveError(recentFile,
                         QStringLiteral("the path \"%1\" holds a line break").arg(path));
    }
    const QByteArray entry = path.toUtf8() + "\r\n";
    const QString reason = SafeWrite::appendWhole(recentFile, [&](const QByteArray& end) {
        // Another program may have left the last path without a line end; a file that is
        // only a byte-order mark has no line to end.
        if (end.isEmpty() || end.endsWith('\r') || end.endsWith('\n') ||
            (end.size() == 3 && startsWithUtf8Bom(end))) {
            return entry;
        }
        return "\r\n" + entry;
    });
    return reason.isEmpty() ? QString() : saveError(recentFile, reason);
}

ReadResult<QStringList> read(const QString& recentFile) {
    ReadResult<QStringList> result;
    bool missing = false;
    const QString reason = readLines(recentFile, sizeCap, false, result.value, missing);
    if (!reason.isEmpty()) {
        result.value.clear();
        if (!missing) {
            result.error = readError(recentFile, reason);
        }
    }
    return result;
}

}  // namespace RecentList
