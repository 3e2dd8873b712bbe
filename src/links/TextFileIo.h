#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Shared by the link file readers and writers and the recent list; not part of the
// library's interface.
namespace TextFileIo {

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

// Replaces `path` with `bytes` atomically. Returns the empty text or the reason.
QString saveAtomically(const QString& path, const QByteArray& bytes);

// Why writing `path` failed, explained from what is on disk; `fallback` is the device's
// own error text, used when nothing better is known.
QString writeFailureReason(const QString& path, const QString& fallback);

// The device's error text as the end of a sentence: "permission denied".
QString reasonFromErrorString(QString errorString);

QString readError(const QString& path, const QString& reason);
QString saveError(const QString& path, const QString& reason);

// "64 MiB".
QString sizeText(qint64 bytes);

// UTF-8 when the bytes are valid UTF-8, else Latin-1, so that no byte is lost.
QString decode(const char* data, qsizetype size);

bool startsWithUtf8Bom(const QByteArray& bytes);

}  // namespace TextFileIo
