// The recent list as any program may have left it: read from disk it gives the lines of the
// whole file, and a path appended to it comes back last with every earlier entry kept.
#include <QStringList>

#include "FuzzSupport.h"
#include "LinkFiles.h"
#include "RecentList.h"
#include "ScratchFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile recent("recent.dat");
    const QByteArray bytes = inputBytes(data, size);
    recent.put(bytes);
    const ReadResult<QStringList> read = RecentList::read(recent.path());
    expect(read.ok() && read.value == parseLines(bytes), "the list read is the file's lines");
    const qsizetype before = read.value.size();
    const QString added = QStringLiteral("/tmp/added.url");
    expect(RecentList::append(recent.path(), added).isEmpty(), "the path is appended");
    const QStringList after = RecentList::read(recent.path()).value;
    expect(after.size() == before + 1 && after.last() == added &&
               after.first(before) == read.value.first(before),
           "the appended path comes last and no earlier entry changed");
    return 0;
}
