#pragma once

#include <QString>
#include <optional>

class SettingsBackend;

// A read from the settings store: the stored text, or nullopt for the missing marker.
// Compare with settingEquals / settingNumber, which treat the missing marker as the empty
// text and as 0.
using SettingText = std::optional<QString>;

// The settings store: a few text values under the machine-wide root. Holds no state of its
// own; every call goes to the backend, so a value written anywhere is seen by the next read.
class Registry {
public:
    enum class Root { LocalMachine };

    static const QString ProductKey;  // "SOFTWARE\Tessaly\Orvane Editor"
    static const QString OptionKey;   // "SOFTWARE\Tessaly\Orvane Editor\Option"
    static const QString Version;
    static const QString ShowTipsAtStartup;
    static const QString ShowStartupWizard;
    static const QString ShowEditorAtStartup;
    static const QString DefaultLink;

    explicit Registry(SettingsBackend& backend) : backend_(backend) {}

    SettingText GetSettingText(Root root, const QString& keyPath, const QString& valueName) const;
    void SaveSettingText(Root root, const QString& keyPath, const QString& valueName,
                         const QString& text);

    // Shorthands for the options subkey, where every flag and "Default Link" live.
    SettingText option(const QString& valueName) const {
        return GetSettingText(Root::LocalMachine, OptionKey, valueName);
    }
    void setOption(const QString& valueName, const QString& text) {
        SaveSettingText(Root::LocalMachine, OptionKey, valueName, text);
    }
    // A startup flag is on only when it holds "1"; "0", a missing value or any other text
    // is off.
    bool flag(const QString& valueName) const { return option(valueName) == QStringLiteral("1"); }

    // The text up to its first NUL character, or the whole text.
    static QString CutAtNul(const QString& text);

private:
    SettingsBackend& backend_;
};

// The missing marker compares equal to the empty text.
inline bool settingEquals(const SettingText& value, const QString& text) {
    return value.value_or(QString()) == text;
}

// The leading decimal number of the text, as a flag or check box value; 0 for missing.
int settingNumber(const SettingText& value);
