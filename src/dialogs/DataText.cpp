#include "DataText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace DataText {

namespace {

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
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
    // Read at most one byte past the cap, so a file that grows meanwhile is still refused.
    const QByteArray bytes = file.read(MaxFileSize + 1);
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
