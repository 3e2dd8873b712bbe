#include "LineStore.h"

#include <QLocale>

#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "TextFileIo.h"

namespace {

// Offsets are 32-bit: the buffer stays below this many bytes.
constexpr qsizetype maxBufferBytes = qsizetype(std::numeric_limits<quint32>::max());

// The position of the first CR (or LF, with `lf`) at or after `pos`, or `size`.
qsizetype lineEnd(const char* data, qsizetype pos, qsizetype size, bool lf) {
    if (!lf) {
        const void* cr = std::memchr(data + pos, '\r', size_t(size - pos));
        return cr != nullptr ? static_cast<const char*>(cr) - data : size;
    }
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
        const std::uint64_t lfw = word ^ lfs;
        if ((((cr - ones) & ~cr) | ((lfw - ones) & ~lfw)) & highs) {
            break;
        }
        pos += 8;
    }
    while (pos < size && data[pos] != '\r' && data[pos] != '\n') {
        ++pos;
    }
    return pos;
}

// Past the line end at `end` (CR LF counts as one).
qsizetype pastLineEnd(const char* data, qsizetype end, qsizetype size) {
    return end + (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? 2 : 1);
}

QString countText(qsizetype count) {
    return QLocale(QLocale::English).toString(qlonglong(count));
}

}  // namespace

LineStore::LineStore(const QStringList& lines) {
    for (const QString& line : lines) {
        append(line);
    }
}

QString LineStore::at(qsizetype row) const {
    const Span span = spans_.at(row);
    return TextFileIo::decode(bytes_.constData() + span.start, span.size);
}

QStringList LineStore::toStringList() const {
    QStringList lines;
    lines.reserve(size());
    for (qsizetype row = 0; row < size(); ++row) {
        lines.append(at(row));
    }
    return lines;
}

bool LineStore::hasRoomFor(qsizetype bytes) {
    if (bytes_.size() + bytes <= maxBufferBytes) {
        return true;
    }
    // Removed entries leave their bytes behind until now.
    compact();
    return bytes_.size() + bytes <= maxBufferBytes;
}

bool LineStore::hasRoomFor(const LineStore& other) {
    return hasRoomFor(other.bytes_.size());
}

bool LineStore::append(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    if (!hasRoomFor(bytes.size())) {
        return false;
    }
    spans_.append({quint32(bytes_.size()), quint32(bytes.size())});
    bytes_.append(bytes);
    return true;
}

bool LineStore::append(const LineStore& other) {
    if (!hasRoomFor(other)) {
        return false;
    }
    const quint32 shift = quint32(bytes_.size());
    bytes_.append(other.bytes_);
    spans_.reserve(spans_.size() + other.spans_.size());
    for (const Span& span : other.spans_) {
        spans_.append({span.start + shift, span.size});
    }
    return true;
}

void LineStore::removeAt(qsizetype row) {
    // The bytes stay until a compaction: removing must not copy the whole buffer.
    spans_.removeAt(row);
}

void LineStore::swapItemsAt(qsizetype a, qsizetype b) {
    spans_.swapItemsAt(a, b);
}

void LineStore::compact() {
    QByteArray bytes;
    for (Span& span : spans_) {
        const quint32 start = quint32(bytes.size());
        bytes.append(bytes_.constData() + span.start, span.size);
        span.start = start;
    }
    bytes_ = std::move(bytes);
}

qsizetype LineStore::allocatedBytes() const {
    return bytes_.capacity() + spans_.capacity() * qsizetype(sizeof(Span));
}

void LineStore::releaseFreedMemory() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

QString LineStore::split(QByteArray bytes, bool cutAtStart, const Rules& rules, LineStore& out) {
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    if (size > maxBufferBytes) {
        return TextFileIo::tooLargeReason(maxBufferBytes);
    }
    qsizetype first = 0;
    if (cutAtStart) {
        const qsizetype end = lineEnd(data, 0, size, rules.lfEndsLine);
        first = end == size ? size : pastLineEnd(data, end, size);
    } else if (TextFileIo::startsWithUtf8Bom(bytes)) {
        first = 3;
    }
    if (rules.refuseNul && std::memchr(data + first, 0, size_t(size - first)) != nullptr) {
        return QStringLiteral("it holds binary data, not lines of text");
    }
    // Counted first, so that the offsets take exactly the room they need and a file over a
    // cap costs no memory.
    qsizetype count = 0;
    for (qsizetype pos = first; pos < size;) {
        const qsizetype end = lineEnd(data, pos, size, rules.lfEndsLine);
        if (rules.lineCap >= 0 && end - pos > rules.lineCap) {
            return TextFileIo::lineTooLongReason(rules.lineCap);
        }
        if (++count > rules.countCap && rules.countCap >= 0 && !rules.keepNewest) {
            return QStringLiteral("it holds more than %1 lines").arg(countText(rules.countCap));
        }
        pos = end == size ? size : pastLineEnd(data, end, size);
    }
    // Over the cap, keepNewest drops the oldest lines.
    qsizetype skip = rules.countCap >= 0 && count > rules.countCap ? count - rules.countCap : 0;
    out = LineStore();
    out.spans_.reserve(count - skip);
    for (qsizetype pos = first; pos < size;) {
        const qsizetype end = lineEnd(data, pos, size, rules.lfEndsLine);
        if (skip > 0) {
            --skip;
        } else {
            out.spans_.append({quint32(pos), quint32(end - pos)});
        }
        pos = end == size ? size : pastLineEnd(data, end, size);
    }
    out.bytes_ = std::move(bytes);
    return QString();
}
