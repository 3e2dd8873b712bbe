// The tips file (tod.dat) and the help files (content.dat, help_0N.dat) as anyone may have
// edited them: read from disk, a file gives the lines between its CR and CR LF ends (an LF
// alone stays in its line), each line being its bytes as UTF-8 or else as Latin-1.
#include <QStringList>

#include "FuzzSupport.h"
#include "ScratchFile.h"
#include "TextFileIo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file("tod.dat");
    const QByteArray bytes = inputBytes(data, size);
    file.put(bytes);
    QStringList lines;
    const QString error = TextFileIo::readDataFile(file.path(), lines);
    if (bytes.contains('\0')) {
        expect(!error.isEmpty() && lines.isEmpty(), "a file with a NUL byte is refused");
        return 0;
    }
    expect(error.isEmpty(), "a text file is read");
    QByteArray text = TextFileIo::startsWithUtf8Bom(bytes) ? bytes.sliced(3) : bytes;
    text.replace("\r\n", "\r");
    QList<QByteArray> expected = text.split('\r');
    if (expected.last().isEmpty()) {
        expected.removeLast();  // a final line end adds no line
    }
    expect(lines.size() == expected.size(), "one line between each two line ends");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        expect(lines.at(i).toUtf8() == expected.at(i) ||
                   lines.at(i) == QString::fromLatin1(expected.at(i)),
               "every byte of a line is read");
    }
    return 0;
}
