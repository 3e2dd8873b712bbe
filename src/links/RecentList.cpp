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

ReadResult<LineStore> readLines(const QString& recentFile) {
    ReadResult<LineStore> result;
    LineStore::Rules rules;
    rules.lineCap = lineCap;
    rules.countCap = lineCountCap;
    rules.keepNewest = true;
    bool missing = false;
    const QString reason = TextFileIo::readLines(recentFile, sizeCap, rules, result.value, missing);
    if (!reason.isEmpty()) {
        result.value = LineStore();
        if (!missing) {
            result.error = readError(recentFile, reason);
        }
    }
    return result;
}

ReadResult<QStringList> read(const QString& recentFile) {
    const ReadResult<LineStore> lines = readLines(recentFile);
    return {lines.value.toStringList(), lines.error};
}

}  // namespace RecentList
