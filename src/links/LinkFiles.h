#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The two link file formats, as bytes and as files.
//
// Written: one byte sequence per character (UTF-8), CR LF after every line, nothing trimmed.
// Read: a line ends at CR LF, CR or LF; bytes that are not valid UTF-8 are read as Latin-1.

// What a reader gives back: the content, or an error sentence that names the file and the
// reason ("The file \"/x/a.url\" could not be read: it does not exist.").
template <typename T>
struct ReadResult {
    T value{};
    QString error;
    bool ok() const { return error.isEmpty(); }
};

enum class LinkFileType { InternetShortcut, RealMedia, Other };

// By extension, without regard to case: ".url" and ".ram".
LinkFileType linkFileType(const QString& path);

// Internet shortcut: "[InternetShortcut]" CR LF "URL=" address CR LF (26 + n bytes).
QByteArray internetShortcutBytes(const QString& address);
// The same shortcut written over an existing file's bytes: every other section, key and
// byte is kept and only the URL value of [InternetShortcut] is replaced (added when
// missing). Falls back to the plain two lines when `existing` is not a shortcut.
QByteArray internetShortcutBytes(const QString& address, const QByteArray& existing);
// The value of the first URL key of the [InternetShortcut] section (names without regard to
// case), after a UTF-8 byte-order mark or from UTF-16LE with its mark; empty error text on
// success, else the reason ("it has no URL entry").
ReadResult<QString> parseInternetShortcut(const QByteArray& bytes);

// RealMedia link: one line per address.
QByteArray realMediaBytes(const QStringList& addresses);
// Every line, empty ones included; an empty file has none.
QStringList parseLines(const QByteArray& bytes);

// Files. Readers refuse missing or unreadable files, folders and files over the size cap,
// and RealMedia files with NUL bytes (binary); errors name the file and the reason.
ReadResult<QString> readInternetShortcut(const QString& path);
ReadResult<QStringList> readRealMedia(const QString& path);

// Writers replace the file atomically (QSaveFile): a failed write leaves the old file as it
// was. They return the empty text on success, else an error sentence naming the file and
// the reason. With keepOtherKeys, an existing shortcut keeps its other sections and keys.
QString writeInternetShortcut(const QString& path, const QString& address, bool keepOtherKeys);
QString writeRealMedia(const QString& path, const QStringList& addresses);
