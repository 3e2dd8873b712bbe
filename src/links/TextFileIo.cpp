#include "TextFileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace TextFileIo {

namespace {

// 0 when the bytes are plain ASCII, 1 when they are valid UTF-8 with other characters,
// -1 when they are not UTF-8.
int classifyUtf8(const unsigned char* s, qsizetype n) {
    qsizetype i = 0;
    // Link lines are nearly always ASCII: test eight bytes at a time first.
    while (i + 8 <= n) {
        std::uint64_t word;
        std::memcpy(&word, s + i, sizeof word);
        if (word & 0x8080808080808080ULL) {
            break;
        }
        i += 8;
    }
    while (i < n && s[i] < 0x80) {
        ++i;
    }
    if (i == n) {
        return 0;
    }
    auto continuation = [&](qsizetype at) { return at < n && (s[at] & 0xC0) == 0x80; };
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
        } else if (c >= 0xC2 && c <= 0xDF) {
            if (!continuation(i + 1)) {
                return -1;
            }
            i += 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            if (!continuation(i + 1) || !continuation(i + 2)) {
                return -1;
            }
            const unsigned char c1 = s[i + 1];
            // Overlong forms and UTF-16 surrogates are not UTF-8.
            if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F)) {
                return -1;
            }
            i += 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            if (!continuation(i + 1) || !continuation(i + 2) || !continuation(i + 3)) {
                return -1;
            }
            const unsigned char c1 = s[i + 1];
            if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 > 0x8F)) {
                return -1;
            }
            i += 4;
        } else {
            return -1;
        }
    }
    return 1;
}

}  // namespace

QString decode(const char* data, qsizetype size) {
    const int kind = classifyUtf8(reinterpret_cast<const unsigned char*>(data), size);
    if (kind == 1) {
        // fromUtf8 drops a leading byte-order mark; inside a file it is a character.
        if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
            QStringDecoder decoder(QStringConverter::Utf8,
                                   QStringConverter::Flag::ConvertInitialBom);
            return decoder(QByteArrayView(data, size));
        }
        return QString::fromUtf8(data, size);
    }
    return QString::fromLatin1(data, size);
}

bool startsWithUtf8Bom(const QByteArray& bytes) {
    return bytes.startsWith("\xEF\xBB\xBF");
}

QString sizeText(qint64 bytes) {
    if (bytes % (1024 * 1024) == 0) {
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    }
    return QStringLiteral("%1 KiB").arg(bytes / 1024);
}

QString reasonFromErrorString(QString errorString) {
    errorString = errorString.trimmed();
    while (errorString.endsWith(QLatin1Char('.'))) {
        errorString.chop(1);
    }
    if (errorString.isEmpty()) {
        return QStringLiteral("unknown error");
    }
    // "Permission denied" reads as the end of our sentence; keep acronyms as they are.
    if (errorString.size() > 1 && errorString.at(0).isUpper() && errorString.at(1).isLower()) {
        errorString[0] = errorString.at(0).toLower();
    }
    return errorString;
}

QString readError(const QString& path, const QString& reason) {
    return QStringLiteral("The file \"%1\" could not be read: %2.").arg(path, reason);
}

QString saveError(const QString& path, const QString& reason) {
    return QStringLiteral("The file \"%1\" could not be saved: %2.").arg(path, reason);
}

namespace {

// The refusals every reader shares, before a byte is read. Returns the reason or empty.
QString refusalBeforeReading(const QString& path, const QFileInfo& info, qint64 sizeCap,
                             bool& missing, bool keepLast) {
    if (path.isEmpty()) {
        return QStringLiteral("no file name was given");
    }
    if (!info.exists()) {
        missing = true;
        return QStringLiteral("it does not exist");
    }
    if (info.isDir()) {
        return QStringLiteral("it is a folder");
    }
    // Opening a pipe would wait for a writer, and a device may never end.
    if (!info.isFile()) {
        return QStringLiteral("it is not a regular file");
    }
    if (info.size() > sizeCap && !keepLast) {
        return tooLargeReason(sizeCap);
    }
    return QString();
}

}  // namespace

QString tooLargeReason(qint64 sizeCap) {
    return QStringLiteral("it is larger than %1").arg(sizeText(sizeCap));
}

QString lineTooLongReason(qsizetype lineCap) {
    return QStringLiteral("it has a line longer than %1").arg(sizeText(lineCap));
}

FileBytes load(const QString& path, qint64 sizeCap, bool keepLast) {
    FileBytes result;
    const QFileInfo info(path);
    result.reason = refusalBeforeReading(path, info, sizeCap, result.missing, keepLast);
    if (!result.reason.isEmpty()) {
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.unreadable = true;
        result.reason = reasonFromErrorString(file.errorString());
        return result;
    }
    // One byte past the cap tells a file over it; with keepLast, that byte starts the cut
    // line, which the caller drops.
    const qint64 limit = sizeCap + 1;
    result.cutAtStart = keepLast && info.size() > sizeCap;
    if (result.cutAtStart && !file.seek(info.size() - limit)) {
        result.unreadable = true;
        result.reason = reasonFromErrorString(file.errorString());
        return result;
    }
    // Room for exactly what the file holds, so that the buffer is no larger than the file;
    // one that grows while we read gets more room a chunk at a time, up to the cap.
    QByteArray bytes(qMin(info.size() + 1, limit), Qt::Uninitialized);
    qsizetype have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (have >= limit) {
                break;
            }
            bytes.resize(qMin(have + readChunk, limit));
        }
        const qint64 got = file.read(bytes.data() + have, bytes.size() - have);
        if (got < 0) {
            result.unreadable = true;
            result.reason = reasonFromErrorString(file.errorString());
            return result;
        }
        if (got == 0) {
            break;
        }
        have += got;
    }
    if (have > sizeCap && !result.cutAtStart) {
        result.reason = tooLargeReason(sizeCap);
        return result;
    }
    bytes.resize(have);
    result.bytes = std::move(bytes);
    return result;
}

QString readLines(const QString& path, qint64 sizeCap, const LineStore::Rules& rules,
                  LineStore& lines, bool& missing) {
    FileBytes file = load(path, sizeCap, rules.keepNewest);
    missing = file.missing;
    if (!file.reason.isEmpty()) {
        return file.reason;
    }
    return LineStore::split(std::move(file.bytes), file.cutAtStart, rules, lines);
}

QString readDataFile(const QString& path, QStringList& lines) {
    LineStore::Rules rules;
    rules.lfEndsLine = false;
    rules.refuseNul = true;
    rules.lineCap = lineCap;
    rules.countCap = lineCountCap;
    LineStore store;
    bool missing = false;
    const QString reason = readLines(path, linkFileSizeCap, rules, store, missing);
    if (!reason.isEmpty()) {
        return readError(path, reason);
    }
    lines = store.toStringList();
    return QString();
}

}  // namespace TextFileIo
