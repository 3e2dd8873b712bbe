#include "LinkFiles.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "SafeWrite.h"
#include "TextFileIo.h"

using namespace TextFileIo;

namespace {

const QString sectionName = QStringLiteral("InternetShortcut");
const QString urlKey = QStringLiteral("URL");

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView trimmedBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

// Where the parts of a shortcut that matter lie, in the text's own positions.
struct ShortcutLayout {
    qsizetype valueStart = -1;  // the first URL value of an [InternetShortcut] section
    qsizetype valueEnd = -1;
    qsizetype afterHeader = -1;  // just past the first [InternetShortcut] header's line
    bool headerHasLineEnd = true;
    bool anySection = false;
    bool endsWithLineEnd = false;
    QString lineEnd = QStringLiteral("\r\n");  // the file's first line end
};

// Walks the lines the way the platform's profile reader does: a [name] line opens a
// section; in it, a line with "=" is a key, its name without the blanks around it.
ShortcutLayout scanShortcut(QStringView text, qsizetype start) {
    ShortcutLayout layout;
    bool lineEndSeen = false;
    bool inShortcut = false;
    qsizetype pos = start;
    const qsizetype size = text.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n')) {
            ++end;
        }
        qsizetype next = end;
        if (next < size) {
            next += (text[next] == QLatin1Char('\r') && next + 1 < size &&
                     text[next + 1] == QLatin1Char('\n'))
                        ? 2
                        : 1;
            if (!lineEndSeen) {
                layout.lineEnd = text.sliced(end, next - end).toString();
                lineEndSeen = true;
            }
        }
        const QStringView line = text.sliced(pos, end - pos);
        const QStringView content = trimmedBlanks(line);
        const qsizetype close = content.indexOf(QLatin1Char(']'));
        if (content.startsWith(QLatin1Char('[')) && close > 0) {
            layout.anySection = true;
            inShortcut = trimmedBlanks(content.sliced(1, close - 1))
                             .compare(sectionName, Qt::CaseInsensitive) == 0;
            if (inShortcut && layout.afterHeader < 0) {
                layout.afterHeader = next;
                layout.headerHasLineEnd = next > end;
            }
        } else if (inShortcut && layout.valueStart < 0) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (equals >= 0 &&
                trimmedBlanks(line.first(equals)).compare(urlKey, Qt::CaseInsensitive) == 0) {
                layout.valueStart = pos + equals + 1;
                layout.valueEnd = end;
            }
        }
        layout.endsWithLineEnd = next > end;
        pos = next;
    }
    return layout;
}

bool isUtf16LE(const QByteArray& bytes) {
    return bytes.startsWith("\xFF\xFE");
}

QString fromUtf16LE(QByteArrayView bytes) {
    // The file's own mark is cut off here; a second one is text and must stay.
    QStringDecoder decoder(QStringConverter::Utf16LE, QStringConverter::Flag::ConvertInitialBom);
    return decoder(bytes.sliced(2));
}

// The shortcut as text, with every byte kept: UTF-16 files decoded, all others seen one
// character per byte so that what is not touched is written back unchanged.
struct ShortcutText {
    QString text;
    qsizetype start = 0;  // past a UTF-8 byte-order mark
    bool utf16 = false;
    QByteArray oddByte;  // a UTF-16 file's last byte when it makes no whole character
};

ShortcutText shortcutText(const QByteArray& bytes) {
    ShortcutText result;
    if (isUtf16LE(bytes)) {
        const qsizetype whole = bytes.size() - bytes.size() % 2;
        result.text = fromUtf16LE(QByteArrayView(bytes).first(whole));
        result.oddByte = bytes.sliced(whole);
        result.utf16 = true;
    } else {
        result.text = QString::fromLatin1(bytes);
        result.start = startsWithUtf8Bom(bytes) ? 3 : 0;
    }
    return result;
}

}  // namespace

LinkFileType linkFileType(const QString& path) {
    if (path.endsWith(QLatin1String(".url"), Qt::CaseInsensitive)) {
        return LinkFileType::InternetShortcut;
    }
    if (path.endsWith(QLatin1String(".ram"), Qt::CaseInsensitive)) {
        return LinkFileType::RealMedia;
    }
    return LinkFileType::Other;
}

QByteArray internetShortcutBytes(const QString& address) {
    const QByteArray value = address.toUtf8();
    QByteArray bytes;
    bytes.reserve(26 + value.size());
    bytes.append("[InternetShortcut]\r\nURL=").append(value).append("\r\n");
    return bytes;
}

QByteArray internetShortcutBytes(const QString& address, const QByteArray& existing) {
    if (existing.isEmpty()) {
        return internetShortcutBytes(address);
    }
    // A NUL byte is one more character here: whatever else the file holds is kept.
    ShortcutText shortcut = shortcutText(existing);
    const ShortcutLayout layout = scanShortcut(shortcut.text, shortcut.start);
    if (!layout.anySection) {
        return internetShortcutBytes(address);
    }
    // In a byte file the new address goes in as its UTF-8 bytes, one character each.
    const QString value = shortcut.utf16 ? address : QString::fromLatin1(address.toUtf8());
    QString& text = shortcut.text;
    if (layout.valueStart >= 0) {
        text.replace(layout.valueStart, layout.valueEnd - layout.valueStart, value);
    } else if (layout.afterHeader >= 0) {
        QString entry = urlKey + QLatin1Char('=') + value + layout.lineEnd;
        if (!layout.headerHasLineEnd) {
            entry.prepend(layout.lineEnd);
        }
        text.insert(layout.afterHeader, entry);
    } else {
        if (!layout.endsWithLineEnd && text.size() > shortcut.start) {
            text += layout.lineEnd;
        }
        text += QLatin1Char('[') + sectionName + QLatin1Char(']') + layout.lineEnd + urlKey +
                QLatin1Char('=') + value + layout.lineEnd;
    }
    if (!shortcut.utf16) {
        return text.toLatin1();
    }
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return QByteArray("\xFF\xFE") + QByteArray(encoder(text)) + shortcut.oddByte;
}

ReadResult<QString> parseInternetShortcut(const QByteArray& bytes) {
    ReadResult<QString> result;
    const ShortcutText shortcut = shortcutText(bytes);
    const ShortcutLayout layout = scanShortcut(shortcut.text, shortcut.start);
    if (layout.valueStart < 0) {
        result.error = QStringLiteral("it has no URL entry");
        return result;
    }
    const qsizetype length = layout.valueEnd - layout.valueStart;
    if (shortcut.utf16) {
        result.value = shortcut.text.mid(layout.valueStart, length);
    } else {
        result.value = decode(bytes.constData() + layout.valueStart, length);
    }
    return result;
}

QByteArray realMediaBytes(const QStringList& addresses) {
    QByteArray bytes;
    qsizetype estimate = 0;
    for (const QString& address : addresses) {
        estimate += address.size() + 2;
    }
    bytes.reserve(estimate);
    for (const QString& address : addresses) {
        bytes.append(address.toUtf8()).append("\r\n");
    }
    return bytes;
}

QStringList parseLines(const QByteArray& bytes) {
    LineStore lines;
    LineStore::split(bytes, false, LineStore::Rules(), lines);
    return lines.toStringList();
}

ReadResult<QString> readInternetShortcut(const QString& path) {
    ReadResult<QString> result;
    const FileBytes file = load(path, linkFileSizeCap);
    if (!file.reason.isEmpty()) {
        result.error = readError(path, file.reason);
        return result;
    }
    result = parseInternetShortcut(file.bytes);
    if (result.ok() && result.value.size() > lineCap) {
        result.value.clear();
        result.error = lineTooLongReason(lineCap);
    }
    if (!result.ok()) {
        result.error = readError(path, result.error);
    }
    return result;
}

ReadResult<LineStore> readRealMediaLines(const QString& path) {
    ReadResult<LineStore> result;
    LineStore::Rules rules;
    rules.refuseNul = true;
    rules.lineCap = lineCap;
    rules.countCap = lineCountCap;
    bool missing = false;
    const QString reason = readLines(path, linkFileSizeCap, rules, result.value, missing);
    if (!reason.isEmpty()) {
        result.value = LineStore();
        result.error = readError(path, reason);
    }
    return result;
}

ReadResult<QStringList> readRealMedia(const QString& path) {
    const ReadResult<LineStore> lines = readRealMediaLines(path);
    return {lines.value.toStringList(), lines.error};
}

QString writeInternetShortcut(const QString& path, const QString& address, bool keepOtherKeys) {
    QByteArray bytes;
    if (keepOtherKeys) {
        const FileBytes existing = load(path, linkFileSizeCap);
        // A missing, oversized or special file has nothing of a shortcut to keep, and a
        // folder is reported by the write below; but a shortcut we cannot read must not be
        // replaced by one that has lost its other entries.
        if (existing.unreadable) {
            return saveError(
                path,
                QStringLiteral("its other entries could not be read (%1)").arg(existing.reason));
        }
        bytes = internetShortcutBytes(address, existing.bytes);
    } else {
        bytes = internetShortcutBytes(address);
    }
    const QString reason = SafeWrite::replaceFile(path, bytes);
    return reason.isEmpty() ? QString() : saveError(path, reason);
}

QString writeRealMedia(const QString& path, const QStringList& addresses) {
    const QString reason = SafeWrite::replaceFile(path, realMediaBytes(addresses));
    return reason.isEmpty() ? QString() : saveError(path, reason);
}

ReadResult<LinkFileContent> readLinkFile(const QString& path) {
    ReadResult<LinkFileContent> result;
    result.value.type = linkFileType(path);
    switch (result.value.type) {
        case LinkFileType::InternetShortcut: {
            const ReadResult<QString> shortcut = readInternetShortcut(path);
            result.error = shortcut.error;
            if (shortcut.ok()) {
                result.value.addresses = QStringList{shortcut.value};
            }
            break;
        }
        case LinkFileType::RealMedia: {
            ReadResult<QStringList> lines = readRealMedia(path);
            result.error = lines.error;
            result.value.addresses = std::move(lines.value);
            break;
        }
        case LinkFileType::Other:
            result.error =
                readError(path, QStringLiteral("it is not a link file (*.url or *.ram)"));
            break;
    }
    return result;
}
