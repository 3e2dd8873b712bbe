// An oversized recent list is read from a point near its end. Wherever that point falls (in
// a line, on a CR of a CR LF, at a line's first byte), the lines read must be the file's
// last lines, each whole, and every line that lies wholly in the part read must be there.
#include <QStringList>

#include "FuzzSupport.h"
#include "LinkFiles.h"
#include "ScratchFile.h"
#include "TextFileIo.h"

namespace {

// Where the lines of `bytes` after the first start, found byte by byte.
QList<qsizetype> laterLineStarts(const QByteArray& bytes) {
    QList<qsizetype> starts;
    const qsizetype first = TextFileIo::startsWithUtf8Bom(bytes) ? 3 : 0;
    for (qsizetype i = first; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
            if (i + 1 < bytes.size()) {
                starts.append(i + 1);
            }
        }
    }
    return starts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static const ScratchFile file("recent.dat");
    const qint64 cap = data[0];
    const QByteArray bytes = inputBytes(data + 1, size - 1);
    file.put(bytes);
    LineStore::Rules rules;
    rules.keepNewest = true;
    LineStore tail;
    bool missing = false;
    expect(TextFileIo::readLines(file.path(), cap, rules, tail, missing).isEmpty(),
           "the newest part of a recent list is read");
    const QStringList whole = parseLines(bytes);
    const QStringList read = tail.toStringList();
    expect(read.size() <= whole.size() && whole.last(read.size()) == read,
           "the lines read are the file's last lines");
    // The first line counts only when the whole file is read: a cut that falls in a leading
    // byte-order mark leaves no line end before it.
    qsizetype wholeInPart = bytes.size() <= cap && !whole.isEmpty() ? 1 : 0;
    for (qsizetype start : laterLineStarts(bytes)) {
        // The part read is the last cap bytes; the line starting at the first of them is
        // whole when the byte before it ends a line, and that byte is read too.
        wholeInPart += bytes.size() <= cap || start >= bytes.size() - cap ? 1 : 0;
    }
    expect(read.size() == wholeInPart, "every line in the part read is there");
    return 0;
}
