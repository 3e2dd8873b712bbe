#pragma once

#include <QString>
#include <optional>

// Where the settings store keeps its text values. Key paths are backslash-separated
// ("SOFTWARE\Tessaly\Orvane Editor\Option") and relative to the machine-wide root.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    // The stored text (NULs and all), or nullopt when the key or value is missing or
    // holds something that is not a single text.
    virtual std::optional<QString> read(const QString& keyPath, const QString& valueName) = 0;
    // Creates every missing level of the key path. A failed write leaves the store as it was
    // and is told by problem().
    virtual void write(const QString& keyPath, const QString& valueName, const QString& text) = 0;
    // Why the store cannot be used or the last write failed, as a sentence naming the store
    // and the reason; empty while all is well.
    virtual QString problem() const { return QString(); }
};
