// Link files and the recent list are read from disk a chunk at a time. Whatever bytes meet
// at a chunk's end (a line cut in two, a CR LF split between chunks, a multi-byte character
// cut in the middle) must read as they do from the whole file.
#include <QStringList>

#include "FuzzSupport.h"
#include "LinkFiles.h"
#include "RecentList.h"
#include "ScratchFile.h"
#include "TextFileIo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static const ScratchFile file("chunks.ram");
    // The first byte says how far into the rest of the input the first chunk ends; before
    // the rest comes a filler that the first line of the rest carries on.
    const qsizetype into = data[0];
    QByteArray bytes(TextFileIo::readChunk - into, 'a');
    bytes.append(inputBytes(data + 1, size - 1));
    file.put(bytes);
    const QStringList whole = parseLines(bytes);

    const ReadResult<QStringList> recent = RecentList::read(file.path());
    expect(recent.ok() && recent.value == whole,
           "the recent list read in chunks is the whole file's lines");

    const ReadResult<QStringList> realMedia = readRealMedia(file.path());
    if (bytes.contains('\0')) {
        expect(!realMedia.ok() && realMedia.value.isEmpty(),
               "a RealMedia file with a NUL byte is refused");
    } else {
        expect(realMedia.ok() && realMedia.value == whole,
               "a RealMedia file read in chunks is the whole file's lines");
    }
    return 0;
}
