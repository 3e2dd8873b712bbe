#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The program's own text files beside it: tod.dat and the help files.
//
// A line ends at CR or at CR LF and the end is not part of the line; an LF with no CR before
// it is an ordinary character, so the help topics can carry their own line breaks. Bytes are
// read as UTF-8, or as Latin-1 when they are not valid UTF-8.
namespace DataText {

// Every line, empty ones included; a final line end adds no empty line.
QStringList splitLines(const QByteArray& bytes);

struct Lines {
    QStringList lines;
    QString error;  // empty, or a sentence that names the file and the reason
    bool ok() const { return error.isEmpty(); }
};

// Reads the whole file. Refuses folders, pipes and devices, unreadable files, files over the
// size cap and files with NUL bytes (not text).
Lines readLines(const QString& path);

// The largest file readLines accepts.
constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

}  // namespace DataText
