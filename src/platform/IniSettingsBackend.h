#pragma once

#include <QDateTime>

#include "SettingsBackend.h"

// Settings in INI files through QSettings: a per-user file that is read and written, and a
// machine-wide file that is only read, for values the user's file does not hold. A user's
// file that is a folder, pipe or device is never opened: reads find nothing, writes are
// refused, and problem() says so.
class IniSettingsBackend final : public SettingsBackend {
public:
    // The standard locations: $XDG_CONFIG_HOME/Tessaly/Orvane Editor.conf, with
    // /etc/xdg/Tessaly/Orvane Editor.conf (or the system scope's path) as fallback.
    IniSettingsBackend();
    IniSettingsBackend(QString userFile, QString systemFile);

    std::optional<QString> read(const QString& keyPath, const QString& valueName) override;
    void write(const QString& keyPath, const QString& valueName, const QString& text) override;

    QString problem() const override { return problem_; }

    const QString& userFile() const { return userFile_; }

private:
    void fail(const char* sentence, const QString& reason);
    void giveOwnTime(QDateTime newest);

    QString userFile_;
    QString systemFile_;
    QString problem_;
};
