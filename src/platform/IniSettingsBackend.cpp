#include "IniSettingsBackend.h"

#include <QFileInfo>
#include <QSettings>

namespace {

// QSettings separates groups with '/'; registry-style paths use '\'.
QString settingsKey(const QString& keyPath, const QString& valueName) {
    QString group = keyPath;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return group + QLatin1Char('/') + valueName;
}

std::optional<QString> readFrom(const QString& file, const QString& key) {
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        return std::nullopt;
    }
    // A fresh QSettings per call: nothing is cached, so a value written by one window is
    // seen by the next read anywhere, and by another running instance.
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

}  // namespace

// The native format's file names: on Linux "Tessaly/Orvane Editor.conf" under
// $XDG_CONFIG_HOME and /etc/xdg. The files themselves are read and written as INI.
IniSettingsBackend::IniSettingsBackend()
    : IniSettingsBackend(
          QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tessaly", "Orvane Editor")
              .fileName(),
          QSettings(QSettings::NativeFormat, QSettings::SystemScope, "Tessaly", "Orvane Editor")
              .fileName()) {}

IniSettingsBackend::IniSettingsBackend(QString userFile, QString systemFile)
    : userFile_(std::move(userFile)), systemFile_(std::move(systemFile)) {}

std::optional<QString> IniSettingsBackend::read(const QString& keyPath, const QString& valueName) {
    const QString key = settingsKey(keyPath, valueName);
    if (auto value = readFrom(userFile_, key)) {
        return value;
    }
    return readFrom(systemFile_, key);
}

void IniSettingsBackend::write(const QString& keyPath, const QString& valueName,
                               const QString& text) {
    QSettings settings(userFile_, QSettings::IniFormat);
    settings.setValue(settingsKey(keyPath, valueName), text);
    settings.sync();
}
