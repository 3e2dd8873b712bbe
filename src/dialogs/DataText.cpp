#include "DataText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace DataText {

namespace {

QString decode(const QByteArray& bytes) {
    // Stateless, so that a character cut off at the end is an error too (a Latin-1 file
    // ending in "\xE9"), not a byte held back for input that never comes.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        return QString::fromLatin1(bytes);
    }
    return text;
}

QString cannotRead(const QString& path, const QString& reason) {
    return QStringLiteral("The file \"%1\" could not be read: %2.")
        .arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

QStringList splitLines(const QByteArray& bytes) {
    const QString text = decode(bytes);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (text[i] != u'\r') {
            continue;
        }
        lines.append(text.mid(start, i - start));
        if (i + 1 < size && text[i + 1] == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < size) {
        lines.append(text.mid(start));
    }
    return lines;
}

Lines readLines(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {{}, cannotRead(path, QStringLiteral("it does not exist"))};
    }
    if (info.isDir()) {
        return {{}, cannotRead(path, QStringLiteral("it is a folder"))};
    }
    // Opening a pipe would keep the window waiting for a writer; a device is no text file.
    if (!info.isFile()) {
        return {{}, cannotRead(path, QStringLiteral("it is not a regular file"))};
    }
    if (info.size() > MaxFileSize) {
        return {
            {},
            cannotRead(path,
                       QStringLiteral("it is larger than %1 MB").arg(MaxFileSize / (1024 * 1024)))};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {{}, cannotRead(path, file.errorString().toLower())};
    }
    // One byte more than the file holds shows whether it grew meanwhile; then read on to one
    // byte past the cap, so that it is still refused when it outgrew it.
    QByteArray bytes = file.read(info.size() + 1);
    if (bytes.size() > info.size() && file.error() == QFileDevice::NoError) {
        bytes += file.read(MaxFileSize + 1 - bytes.size());
    }
    if (file.error() != QFileDevice::NoError) {
        return {{}, cannotRead(path, file.errorString().toLower())};
    }
    if (bytes.size() > MaxFileSize) {
        return {
            {},
            cannotRead(path,
                       QStringLiteral("it is larger than %1 MB").arg(MaxFileSize / (1024 * 1024)))};
    }
    if (bytes.contains('\0')) {
        return {{}, cannotRead(path, QStringLiteral("it is not a text file"))};
    }
    return {splitLines(bytes), {}};
}

}  // namespace DataText
