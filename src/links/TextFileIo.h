#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Shared by the link file readers and writers and the recent list; not part of the
// library's interface.
namespace TextFileIo {

// Files are read this many bytes at a time.
inline constexpr qint64 readChunk = qint64(1) << 20;

// A whole file's bytes, or the reason it could not be read ("it is a folder").
struct FileBytes {
    QByteArray bytes;
    QString reason;
    bool missing = false;
    bool unreadable = false;  // a file that is there but could not be opened or read
};

// Reads a regular file whole, refusing folders, devices, pipes and files over `sizeCap`
// bytes without reading them.
FileBytes load(const QString& path, qint64 sizeCap);

// Splits `data` into lines that end at CR LF, CR or LF, appending them decoded to `lines`.
// With `final` unset, a last line without a line end is left for the next call: the return
// value is the count of bytes used, and `skipLf` carries a CR at the very end over to a
// following LF.
qsizetype splitLines(const char* data, qsizetype size, bool final, bool& skipLf,
                     QStringList& lines);

// Reads a regular file's lines (after a UTF-8 byte-order mark), a chunk at a time so that
// a large file is never held whole, with the same refusals as load(). With `refuseNul`, a
// NUL byte stops the read as binary data. Returns the empty text or the reason; `missing`
// tells a file that does not exist.
QString readLines(const QString& path, qint64 sizeCap, bool refuseNul, QStringList& lines,
                  bool& missing);

// The device's error text as the end of a sentence: "permission denied".
QString reasonFromErrorString(QString errorString);

QString readError(const QString& path, const QString& reason);
QString saveError(const QString& path, const QString& reason);

// "it is larger than 64 MiB".
QString tooLargeReason(qint64 sizeCap);

// "64 MiB".
QString sizeText(qint64 bytes);

// UTF-8 when the bytes are valid UTF-8, else Latin-1, so that no byte is lost.
QString decode(const char* data, qsizetype size);

bool startsWithUtf8Bom(const QByteArray& bytes);

}  // namespace TextFileIo
