// Internet shortcuts from anywhere: the reader must not fail on any bytes, and writing an
// address over them must keep a file the reader gives that address back from.
#include <QString>

#include "FuzzSupport.h"
#include "LinkFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = inputBytes(data, size);
    const ReadResult<QString> read = parseInternetShortcut(bytes);
    expect(read.ok() || read.value.isEmpty(), "a shortcut without an address gives none");
    const QString address = QStringLiteral("http://new.example/\u00e9");
    const QByteArray written = internetShortcutBytes(address, bytes);
    expect(parseInternetShortcut(written).value == address,
           "the address written over the file is the one read back");
    expect(internetShortcutBytes(address, written) == written,
           "writing the same address again changes nothing more");
    return 0;
}
