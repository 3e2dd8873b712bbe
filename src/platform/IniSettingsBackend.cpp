#include "IniSettingsBackend.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLibraryInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "SafeWrite.h"

namespace {

const QString FileName = QStringLiteral("/Tessaly/Orvane Editor.conf");
// Real settings are a few hundred bytes; QSettings parses the whole file on every read, so a
// huge one would make each read slow.
constexpr qint64 MaxFileBytes = 1 << 20;

// Why the file cannot be used as settings, or empty.
QString refusal(const QString& file) {
    QString reason = SafeWrite::typeRefusal(file);
    if (reason.isEmpty() && QFileInfo(file).size() > MaxFileBytes) {
        reason = QStringLiteral("it is larger than 1 MiB");
    }
    return reason;
}

// QSettings separates groups with '/'; registry-style paths use '\'.
QString settingsKey(const QString& keyPath, const QString& valueName) {
    QString group = keyPath;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return group + QLatin1Char('/') + valueName;
}

std::optional<QString> readFrom(const QString& file, const QString& key) {
    // A pipe would hold QSettings up for good, and a device may never end.
    if (file.isEmpty() || !QFileInfo(file).isFile() || !refusal(file).isEmpty()) {
        return std::nullopt;
    }
    // A fresh QSettings per call, so a value written by one window is seen by the next read
    // anywhere, and by another running instance (write() makes sure QSettings' own cache of
    // parsed files sees the change).
    QSettings settings(file, QSettings::IniFormat);
    // QSettings parses a file's groups lazily and, for a key, looks only in the nearest
    // group before it: with [a\b] and [a\b\c] written by hand, a\b's values would go
    // unseen. Listing the keys parses every group.
    settings.allKeys();
    if (!settings.contains(key)) {
        return std::nullopt;
    }
    const QVariant value = settings.value(key);
    // A hand-edited value with unquoted commas reads back as a list: not a single text.
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString();
}

QMap<QString, QVariant> allValues(const QSettings& settings) {
    QMap<QString, QVariant> values;
    for (const QString& key : settings.allKeys()) {
        values.insert(key, settings.value(key));
    }
    return values;
}

// The user's file with one value set, as bytes. QSettings writes through a buffer whose
// failure on a full disk it does not notice, so it works on a scratch copy that is read
// back before anything replaces the real file.
QString updatedBytes(const QByteArray& before, const QString& key, const QString& text,
                     QByteArray& after) {
    QTemporaryFile scratch(QDir::temp().filePath(QStringLiteral("orvane-settings-XXXXXX.conf")));
    if (!scratch.open() || scratch.write(before) != before.size() || !scratch.flush()) {
        return QStringLiteral("no scratch copy could be made (%1)").arg(scratch.errorString());
    }
    scratch.close();
    QMap<QString, QVariant> expected;
    {
        QSettings settings(scratch.fileName(), QSettings::IniFormat);
        expected = allValues(settings);
        expected.insert(key, text);
        settings.setValue(key, text);
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            return QStringLiteral("the new settings could not be made");
        }
    }
    if (allValues(QSettings(scratch.fileName(), QSettings::IniFormat)) != expected) {
        return QStringLiteral("the new settings did not read back whole");
    }
    QFile made(scratch.fileName());
    if (!made.open(QIODevice::ReadOnly)) {
        return made.errorString();
    }
    after = made.readAll();
    return QString();
}

}  // namespace

// The native format's file names, as QSettings makes them on Linux, but found without
// QSettings, which opens the files when it is made: "Tessaly/Orvane Editor.conf" under
// $XDG_CONFIG_HOME and under the first of $XDG_CONFIG_DIRS or /etc/xdg.
IniSettingsBackend::IniSettingsBackend()
    : IniSettingsBackend(
          QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + FileName,
          (qEnvironmentVariableIsEmpty("XDG_CONFIG_DIRS")
               ? QLibraryInfo::path(QLibraryInfo::SettingsPath)
               : qEnvironmentVariable("XDG_CONFIG_DIRS").section(QLatin1Char(':'), 0, 0)) +
              FileName) {}

IniSettingsBackend::IniSettingsBackend(QString userFile, QString systemFile)
    : userFile_(std::move(userFile)), systemFile_(std::move(systemFile)) {
    if (!userFile_.isEmpty()) {
        fail(
            "The settings file \"%1\" cannot be used: %2. The program starts with its "
            "default settings.",
            refusal(userFile_));
    }
}

// QSettings keeps each file it parsed and parses it again only when its size or its time (in
// milliseconds) changed: a file of the old size written within the same millisecond as the
// one it parsed (also one deleted and made again) would still read as the old one. So every
// write here gets a time later than the file had and than the last write here gave it.
void IniSettingsBackend::giveOwnTime(QDateTime newest) {
    static QHash<QString, QDateTime> lastWritten;
    const QDateTime previous = lastWritten.value(userFile_);
    if (previous.isValid() && (!newest.isValid() || previous > newest)) {
        newest = previous;
    }
    QFile stored(userFile_);
    QDateTime now = QFileInfo(stored).lastModified();
    if (newest.isValid() && now <= newest && stored.open(QIODevice::Append) &&
        stored.setFileTime(newest.addMSecs(1), QFileDevice::FileModificationTime)) {
        now = newest.addMSecs(1);
    }
    lastWritten.insert(userFile_, now);
}

void IniSettingsBackend::fail(const char* sentence, const QString& reason) {
    problem_ = reason.isEmpty()
                   ? QString()
                   : QString::fromLatin1(sentence).arg(QDir::toNativeSeparators(userFile_), reason);
}

std::optional<QString> IniSettingsBackend::read(const QString& keyPath, const QString& valueName) {
    const QString key = settingsKey(keyPath, valueName);
    if (auto value = readFrom(userFile_, key)) {
        return value;
    }
    return readFrom(systemFile_, key);
}

void IniSettingsBackend::write(const QString& keyPath, const QString& valueName,
                               const QString& text) {
    QString reason = refusal(userFile_);
    QByteArray before;
    QFile file(userFile_);
    if (reason.isEmpty() && file.exists()) {
        // What cannot be read cannot be kept: the file stays as it is.
        if (!file.open(QIODevice::ReadOnly)) {
            reason = file.errorString();
        } else {
            before = file.readAll();
        }
        file.close();
    }
    QByteArray after;
    if (reason.isEmpty()) {
        reason = updatedBytes(before, settingsKey(keyPath, valueName), text, after);
    }
    if (reason.isEmpty() && !QDir().mkpath(QFileInfo(userFile_).absolutePath())) {
        reason = QStringLiteral("its folder could not be made");
    }
    if (reason.isEmpty()) {
        QDateTime newest = QFileInfo(userFile_).lastModified();
        reason = SafeWrite::replaceFile(userFile_, after);
        if (reason.isEmpty()) {
            giveOwnTime(newest);
        }
    }
    fail("The settings could not be saved in \"%1\": %2.", reason);
}
