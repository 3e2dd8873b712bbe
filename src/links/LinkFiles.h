#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "LineStore.h"

// The two link file formats, as bytes and as files.
//
// Written: one byte sequence per character (UTF-8), CR LF after every line, nothing trimmed.
// Read: a line ends at CR LF, CR or LF; a line (a shortcut's address) whose bytes are not
// valid UTF-8 is read as Latin-1, so no byte is lost. A leading UTF-8 byte-order mark is
// skipped.

// What a reader gives back: the content, or an error sentence that names the file and the
// reason ("The file \"/x/a.url\" could not be read: it does not exist.").
template <typename T>
struct ReadResult {
    T value{};
    QString error;
    bool ok() const { return error.isEmpty(); }
};

enum class LinkFileType { InternetShortcut, RealMedia, Other };

// Caps from what real files hold; the readers refuse a file beyond them with a reason that
// names the cap. Common web servers refuse request lines over 8 KiB, so no working address
// comes near 256 KiB a line; a million entries is far beyond any play list or recent list in
// use and keeps a full list near 60 MB; 64 MiB holds a million long lines. The size cap
// holds for the tips and help files too.
inline constexpr qint64 linkFileSizeCap = qint64(64) * 1024 * 1024;
inline constexpr qsizetype lineCap = qsizetype(256) * 1024;
inline constexpr qsizetype lineCountCap = 1'000'000;

// By extension, without regard to case: ".url" and ".ram".
LinkFileType linkFileType(const QString& path);

// Internet shortcut: "[InternetShortcut]" CR LF "URL=" address CR LF (26 + n bytes).
QByteArray internetShortcutBytes(const QString& address);
// The same shortcut written over an existing file's bytes: every other section, key and
// byte is kept and only the URL value of [InternetShortcut] is replaced (the key added
// right after the section's header when missing, the section added at the end when
// missing). Added lines use the file's own line end and encoding (UTF-16LE stays UTF-16LE).
// NUL bytes and a UTF-16 file's odd last byte are kept like any other. Falls back to the
// plain two lines when `existing` is not a shortcut: empty or without any [section] line.
QByteArray internetShortcutBytes(const QString& address, const QByteArray& existing);
// The value of the first URL key of the [InternetShortcut] section (names without regard to
// case, blanks around them ignored), after a UTF-8 byte-order mark or from UTF-16LE with its
// mark; empty error text on success, else the reason ("it has no URL entry"). The value is
// everything after the "=" up to the line end, spaces included, so that every address this
// program writes reads back as it was.
ReadResult<QString> parseInternetShortcut(const QByteArray& bytes);

// RealMedia link: one line per address.
QByteArray realMediaBytes(const QStringList& addresses);
// Every line, empty ones included; an empty file has none.
QStringList parseLines(const QByteArray& bytes);

// Files. Readers refuse missing or unreadable files, folders, pipes and devices, files over
// the size cap (without reading them), and RealMedia files with NUL bytes (binary, UTF-16);
// errors name the file and the reason.
ReadResult<QString> readInternetShortcut(const QString& path);
ReadResult<QStringList> readRealMedia(const QString& path);
// The same lines, held compactly and decoded when asked for.
ReadResult<LineStore> readRealMediaLines(const QString& path);

// Writers replace the file safely (SafeWrite::replaceFile): a failed write leaves the old
// file as it was, and only regular files are written. They return the empty text on success, else
// an error sentence naming the file and the reason. With keepOtherKeys, an existing shortcut keeps
// its other sections and keys.
QString writeInternetShortcut(const QString& path, const QString& address, bool keepOtherKeys);
QString writeRealMedia(const QString& path, const QStringList& addresses);

// Opens a link file by its extension: a shortcut gives its one address, a RealMedia file
// its lines. Any other extension is refused as "not a link file".
struct LinkFileContent {
    LinkFileType type = LinkFileType::Other;
    QStringList addresses;
};
ReadResult<LinkFileContent> readLinkFile(const QString& path);
