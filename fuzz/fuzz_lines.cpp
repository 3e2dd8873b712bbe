// RealMedia links and recent lists from anywhere: lines read, written and read again are
// the same lines.
#include <QStringList>

#include <cstdint>
#include <cstdlib>

#include "LinkFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = parseLines(bytes);
    for (const QString& line : lines) {
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n'))) {
            std::abort();
        }
    }
    // A first line that itself starts with a byte-order mark loses it on the way back, as
    // the mark is taken for the file's.
    if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF))) {
        return 0;
    }
    if (parseLines(realMediaBytes(lines)) != lines) {
        std::abort();
    }
    return 0;
}
