// RealMedia links and play lists from anywhere: lines read, written and read again are the
// same lines.
#include <QStringList>

#include "FuzzSupport.h"
#include "LinkFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = parseLines(inputBytes(data, size));
    for (const QString& line : lines) {
        expect(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')),
               "no line holds a line end");
    }
    // A first line that itself starts with a byte-order mark loses it on the way back, as
    // the mark is taken for the file's.
    if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF))) {
        return 0;
    }
    expect(parseLines(realMediaBytes(lines)) == lines, "written lines read back the same");
    return 0;
}
