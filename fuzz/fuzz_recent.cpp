// The recent list read from disk a chunk at a time gives the lines of the whole file.
#include <QDir>
#include <QFile>
#include <QStringList>

#include <unistd.h>
#include <cstdint>
#include <cstdlib>

#include "LinkFiles.h"
#include "RecentList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path =
        QDir::temp().filePath(QStringLiteral("orvane-fuzz-recent-%1.dat").arg(::getpid()));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::abort();
        }
    }
    const ReadResult<QStringList> read = RecentList::read(path);
    if (!read.ok() || read.value != parseLines(bytes)) {
        std::abort();
    }
    const qsizetype before = read.value.size();
    const QString added = QStringLiteral("/tmp/added.url");
    if (!RecentList::append(path, added).isEmpty()) {
        std::abort();
    }
    const QStringList after = RecentList::read(path).value;
    // The new path is the last entry, and no earlier entry was changed.
    if (after.size() != before + 1 || after.last() != added ||
        after.first(before) != read.value.first(before)) {
        std::abort();
    }
    return 0;
}
