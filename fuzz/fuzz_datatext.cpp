// The tips file (tod.dat) and the help files (content.dat, help_0N.dat) as anyone may have
// edited them: every byte of a line reaches the window, a file read from disk gives the
// lines split from its bytes, and lines written back with CR LF read the same.
#include <QStringList>

#include "DataText.h"
#include "FuzzSupport.h"
#include "ScratchFile.h"

namespace {

const QByteArray utf8Bom("\xEF\xBB\xBF");

// The bytes with their line ends taken out: what the help window shows of a topic file,
// whose lines run on with nothing between them.
QByteArray withoutLineEnds(QByteArray bytes) {
    bytes.replace("\r\n", "");
    bytes.replace('\r', "");
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = inputBytes(data, size);
    const QStringList lines = DataText::splitLines(bytes);
    for (const QString& line : lines) {
        expect(!line.contains(QLatin1Char('\r')), "no line holds a CR");
    }

    // Read as UTF-8 (after its byte-order mark) or else as Latin-1: either way no byte of
    // the text is lost.
    const QString joined = lines.join(QString());
    const QByteArray text = withoutLineEnds(bytes);
    expect(joined == QString::fromLatin1(text) || joined.toUtf8() == text ||
               (text.startsWith(utf8Bom) && joined.toUtf8() == text.sliced(3)),
           "every byte between the line ends is read");

    // A first line that itself starts with a byte-order mark loses it on the way back, as
    // the mark is taken for the file's.
    if (lines.isEmpty() || !lines.first().startsWith(QChar(0xFEFF))) {
        QByteArray back;
        for (const QString& line : lines) {
            back.append(line.toUtf8()).append("\r\n");
        }
        expect(DataText::splitLines(back) == lines, "lines written back read the same");
    }

    static const ScratchFile file("tod.dat");
    file.put(bytes);
    const DataText::Lines read = DataText::readLines(file.path());
    if (bytes.contains('\0')) {
        expect(!read.ok() && read.lines.isEmpty(), "a file with a NUL byte is refused");
    } else {
        expect(read.ok() && read.lines == lines, "the file read is its bytes' lines");
    }
    return 0;
}
