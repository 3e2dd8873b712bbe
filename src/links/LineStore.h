#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Lines kept as the file's own bytes plus where each line lies in them, each decoded (UTF-8
// when its bytes are valid UTF-8, else Latin-1) only when it is asked for. A million
// 48-byte addresses take some 56 MB here, against about 160 MB as a QStringList.
class LineStore {
public:
    LineStore() = default;
    // The lines as UTF-8; any text at all reads back as it was.
    explicit LineStore(const QStringList& lines);

    qsizetype size() const { return spans_.size(); }
    bool isEmpty() const { return spans_.isEmpty(); }
    QString at(qsizetype row) const;
    QStringList toStringList() const;

    // Edits touch only the entries concerned. An append returns false, changing nothing,
    // when the store cannot hold any more (some 4 GiB of text); hasRoomFor() tells ahead.
    bool append(const QString& line);
    bool append(const LineStore& other);
    bool hasRoomFor(const LineStore& other);
    void removeAt(qsizetype row);
    void swapItemsAt(qsizetype a, qsizetype b);

    // The bytes the store holds allocated.
    qsizetype allocatedBytes() const;

    // Gives memory freed by a large store back to the system (glibc keeps it otherwise).
    static void releaseFreedMemory();

    // How a file's bytes are cut into lines.
    struct Rules {
        bool lfEndsLine = true;  // else only CR and CR LF end a line
        bool refuseNul = false;
        qsizetype lineCap = -1;   // the longest line in bytes, -1: any
        qsizetype countCap = -1;  // the most lines, -1: any
        // Over countCap, the last countCap lines are kept instead of refusing the file.
        bool keepNewest = false;
    };
    // Splits `bytes` (after a UTF-8 byte-order mark; with `cutAtStart`, after the first line
    // end, the line before it being incomplete). Returns the empty text or the reason.
    static QString split(QByteArray bytes, bool cutAtStart, const Rules& rules, LineStore& out);

private:
    struct Span {
        quint32 start;
        quint32 size;
    };
    bool hasRoomFor(qsizetype bytes);
    void compact();

    QByteArray bytes_;
    QList<Span> spans_;
};
