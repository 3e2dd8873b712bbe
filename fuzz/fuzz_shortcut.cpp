// Internet shortcuts from anywhere: the reader must not fail on any bytes, and writing an
// address over them must keep a file the reader gives that address back from.
#include <QString>

#include <cstdint>
#include <cstdlib>

#include "LinkFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ReadResult<QString> read = parseInternetShortcut(bytes);
    if (!read.ok() && !read.value.isEmpty()) {
        std::abort();
    }
    const QString address = QStringLiteral("http://new.example/\u00e9");
    const QByteArray written = internetShortcutBytes(address, bytes);
    if (parseInternetShortcut(written).value != address) {
        std::abort();
    }
    // Writing the address again changes nothing more.
    if (internetShortcutBytes(address, written) != written) {
        std::abort();
    }
    return 0;
}
