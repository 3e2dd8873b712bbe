#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "LineStore.h"
#include "LinkFiles.h"

// Shared by the link file readers and writers, the recent list, and the readers of the
// program's own tips and help files.
namespace TextFileIo {

// Files are read this many bytes at a time.
inline constexpr qint64 readChunk = qint64(1) << 20;

// A whole file's bytes, or the reason it could not be read ("it is a folder").
struct FileBytes {
    QByteArray bytes;
    QString reason;
    bool missing = false;
    bool unreadable = false;  // a file that is there but could not be opened or read
    bool cutAtStart = false;  // only the last bytes were read
};

// Reads a regular file whole, refusing folders, devices, pipes and files over `sizeCap`
// bytes without reading them; with `keepLast`, a larger file gives its last sizeCap + 1
// bytes instead.
FileBytes load(const QString& path, qint64 sizeCap, bool keepLast = false);

// Reads a regular file's lines with load()'s refusals and `rules`' caps; with
// `rules.keepNewest`, a file over a cap gives its last lines instead. Returns the empty
// text or the reason; `missing` tells a file that does not exist.
QString readLines(const QString& path, qint64 sizeCap, const LineStore::Rules& rules,
                  LineStore& lines, bool& missing);

// The program's own text files (tips, help topics): a line ends at CR or CR LF, an LF alone
// being part of the line. Returns the empty text or the error sentence naming the file.
QString readDataFile(const QString& path, QStringList& lines);

// The device's error text as the end of a sentence: "permission denied".
QString reasonFromErrorString(QString errorString);

QString readError(const QString& path, const QString& reason);
QString saveError(const QString& path, const QString& reason);

// "it is larger than 64 MiB".
QString tooLargeReason(qint64 sizeCap);
// "it has a line longer than 256 KiB".
QString lineTooLongReason(qsizetype lineCap);

// "64 MiB", "256 KiB".
QString sizeText(qint64 bytes);

// UTF-8 when the bytes are valid UTF-8, else Latin-1, so that no byte is lost.
QString decode(const char* data, qsizetype size);

bool startsWithUtf8Bom(const QByteArray& bytes);

}  // namespace TextFileIo
