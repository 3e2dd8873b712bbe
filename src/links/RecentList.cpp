#include "RecentList.h"

#include <QFile>
#include <QFileInfo>

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
    const QFileInfo info(recentFile);
    if (info.isDir()) {
        return saveError(recentFile, QStringLiteral("it is a folder"));
    }
    if (info.exists() && !info.isFile()) {
        return saveError(recentFile, QStringLiteral("it is not a regular file"));
    }
    // Append mode, so that two windows saving at once both land at the end.
    QFile file(recentFile);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        return saveError(recentFile, writeFailureReason(recentFile, file.errorString()));
    }
    QByteArray line;
    const qint64 size = file.size();
    if (size > 0) {
        const qint64 tail = qMin<qint64>(size, 3);
        QByteArray end;
        if (file.seek(size - tail)) {
            end = file.read(tail);
        }
        if (end.size() != tail) {
            return saveError(recentFile, reasonFromErrorString(file.errorString()));
        }
        // Another program may have left the last path without a line end; a file that is
        // only a byte-order mark has no line to end.
        if (!end.endsWith('\r') && !end.endsWith('\n') && !(size == 3 && startsWithUtf8Bom(end))) {
            line = "\r\n";
        }
    }
    line.append(path.toUtf8()).append("\r\n");
    if (file.write(line) != line.size()) {
        return saveError(recentFile, reasonFromErrorString(file.errorString()));
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        return saveError(recentFile, reasonFromErrorString(file.errorString()));
    }
    return QString();
}

ReadResult<LineStore> readLines(const QString& recentFile) {
    LineStore::Rules rules;
    rules.lineCap = lineCap;
    rules.countCap = lineCountCap;
    rules.keepNewest = true;
    return TextFileIo::readLineFile(recentFile, sizeCap, rules, true);
}

ReadResult<QStringList> read(const QString& recentFile) {
    const ReadResult<LineStore> lines = readLines(recentFile);
    return {lines.value.toStringList(), lines.error};
}

}  // namespace RecentList
