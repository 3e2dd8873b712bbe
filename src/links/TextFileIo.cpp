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

// Lines the reader makes room for ahead of time, at most.
constexpr qint64 maxReservedLines = qint64(4) << 20;

// The position of the first CR or LF at or after `pos`, or `size` when there is none.
qsizetype lineEnd(const char* data, qsizetype pos, qsizetype size) {
    // Eight bytes at a time: a word holds byte b when (x - 0x01..) & ~x & 0x80.. is not 0,
    // x being the word with b's bits flipped.
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = 0x8080808080808080ULL;
    constexpr std::uint64_t crs = ones * '\r';
    constexpr std::uint64_t lfs = ones * '\n';
    while (pos + 8 <= size) {
        std::uint64_t word;
        std::memcpy(&word, data + pos, sizeof word);
        const std::uint64_t cr = word ^ crs;
        const std::uint64_t lf = word ^ lfs;
        if ((((cr - ones) & ~cr) | ((lf - ones) & ~lf)) & highs) {
            break;
        }
        pos += 8;
    }
    while (pos < size && data[pos] != '\r' && data[pos] != '\n') {
        ++pos;
    }
    return pos;
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
    return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
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
                             bool& missing) {
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
    if (info.size() > sizeCap) {
        return tooLargeReason(sizeCap);
    }
    return QString();
}

}  // namespace

QString tooLargeReason(qint64 sizeCap) {
    return QStringLiteral("it is larger than %1").arg(sizeText(sizeCap));
}

FileBytes load(const QString& path, qint64 sizeCap) {
    FileBytes result;
    const QFileInfo info(path);
    result.reason = refusalBeforeReading(path, info, sizeCap, result.missing);
    if (!result.reason.isEmpty()) {
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.unreadable = true;
        result.reason = reasonFromErrorString(file.errorString());
        return result;
    }
    // The size may change while we read (another program writing): read in chunks and stop
    // at the cap whatever the size said.
    QByteArray bytes;
    bytes.reserve(info.size());
    for (;;) {
        const qsizetype have = bytes.size();
        const qint64 room = qMin(readChunk, sizeCap + 1 - have);
        bytes.resize(have + room);
        const qint64 got = file.read(bytes.data() + have, room);
        if (got < 0) {
            result.unreadable = true;
            result.reason = reasonFromErrorString(file.errorString());
            return result;
        }
        bytes.resize(have + got);
        if (bytes.size() > sizeCap) {
            result.reason = tooLargeReason(sizeCap);
            return result;
        }
        if (got == 0) {
            break;
        }
    }
    result.bytes = std::move(bytes);
    return result;
}

qsizetype splitLines(const char* data, qsizetype size, bool final, bool& skipLf,
                     QStringList& lines) {
    qsizetype pos = 0;
    if (skipLf && size > 0) {
        skipLf = false;
        if (data[0] == '\n') {
            pos = 1;
        }
    }
    while (pos < size) {
        const qsizetype end = lineEnd(data, pos, size);
        if (end == size) {
            if (final) {
                lines.append(decode(data + pos, end - pos));
                pos = size;
            }
            break;
        }
        lines.append(decode(data + pos, end - pos));
        pos = end + 1;
        if (data[end] == '\r') {
            if (pos < size) {
                pos += data[pos] == '\n' ? 1 : 0;
            } else if (!final) {
                skipLf = true;
            }
        }
    }
    return pos;
}

QString readLines(const QString& path, qint64 sizeCap, bool refuseNul, QStringList& lines,
                  bool& missing) {
    const QFileInfo info(path);
    QString reason = refusalBeforeReading(path, info, sizeCap, missing);
    if (!reason.isEmpty()) {
        return reason;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return reasonFromErrorString(file.errorString());
    }
    // One buffer, reused: the unfinished last line of a chunk moves to its front.
    QByteArray buffer;
    qsizetype held = 0;
    qint64 total = 0;
    bool skipLf = false;
    bool atStart = true;
    for (;;) {
        buffer.resize(qMax(buffer.size(), held + readChunk));
        const qint64 got = file.read(buffer.data() + held, readChunk);
        if (got < 0) {
            return reasonFromErrorString(file.errorString());
        }
        total += got;
        if (total > sizeCap) {
            return tooLargeReason(sizeCap);
        }
        if (refuseNul && std::memchr(buffer.constData() + held, 0, size_t(got))) {
            return QStringLiteral("it holds binary data, not lines of text");
        }
        const bool final = got == 0;
        qsizetype start = 0;
        const qsizetype fresh = held;
        held += got;
        // A chunk without a line end only lengthens the last line: scanning that line again
        // from its start at every chunk would cost a long line its length squared.
        if (!atStart && !final && lineEnd(buffer.constData(), fresh, held) == held) {
            continue;
        }
        if (atStart && (held >= 3 || final)) {
            atStart = false;
            start = startsWithUtf8Bom(QByteArray::fromRawData(buffer.constData(), held)) ? 3 : 0;
            // Room for the lines to come, judged from those of the first chunk, saves
            // growing a list of a million entries step by step.
            const qsizetype before = lines.size();
            const qsizetype used =
                start + splitLines(buffer.constData() + start, held - start, final, skipLf, lines);
            const qsizetype found = lines.size() - before;
            if (!final && found > 0) {
                const qint64 expected = info.size() / qMax<qint64>(1, used / found);
                // A first chunk of short lines says little about the rest: the guess stays
                // within what a list of a few million paths needs.
                lines.reserve(before + qsizetype(std::min({expected + expected / 8, info.size(),
                                                           maxReservedLines})));
            }
            start = used;
        } else if (!atStart) {
            start = splitLines(buffer.constData(), held, final, skipLf, lines);
        }
        if (final) {
            break;
        }
        std::memmove(buffer.data(), buffer.constData() + start, size_t(held - start));
        held -= start;
    }
    return QString();
}

}  // namespace TextFileIo
