#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The two versions save_loop writes by turns, large enough (about 2 MB) that a kill often
// lands in the middle of a write.
namespace SaveLoopVersions {

inline QString address(int version) {
    return QStringLiteral("http://version%1.example/").arg(version);
}

inline QStringList playList(int version) {
    QStringList lines;
    lines.reserve(40000);
    for (int i = 0; i < 40000; ++i) {
        lines.append(QStringLiteral("http://stream.example/v%1/clip%2.rm").arg(version).arg(i));
    }
    return lines;
}

// A shortcut with other sections besides its address, which every save must keep.
inline QByteArray shortcutStart() {
    QByteArray bytes = "[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\nURL=" +
                       address(0).toUtf8() + "\r\nIconIndex=0\r\n[Notes]\r\n";
    for (int i = 0; i < 40000; ++i) {
        bytes += "Note" + QByteArray::number(i) + "=kept as it was written\r\n";
    }
    return bytes;
}

}  // namespace SaveLoopVersions
