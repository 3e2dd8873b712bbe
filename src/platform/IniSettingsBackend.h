#pragma once

#include "SettingsBackend.h"

// Settings in INI files through QSettings: a per-user file that is read and written, and a
// machine-wide file that is only read, for values the user's file does not hold.
class IniSettingsBackend final : public SettingsBackend {
public:
    // The standard locations: $XDG_CONFIG_HOME/Tessaly/Orvane Editor.conf, with
    // /etc/xdg/Tessaly/Orvane Editor.conf (or the system scope's path) as fallback.
    IniSettingsBackend();
    IniSettingsBackend(QString userFile, QString systemFile);

    std::optional<QString> read(const QString& keyPath, const QString& valueName) override;
    void write(const QString& keyPath, const QString& valueName, const QString& text) override;

    const QString& userFile() const { return userFile_; }

private:
    QString userFile_;
    QString systemFile_;
};
