#pragma once

#include "SettingsBackend.h"

// The Windows build's settings: REG_SZ values under HKEY_LOCAL_MACHINE, read and written
// through the ANSI registry calls, texts converted to and from the ANSI code page.
class WinRegistryBackend final : public SettingsBackend {
public:
    WinRegistryBackend() = default;

    std::optional<QString> read(const QString& keyPath, const QString& valueName) override;
    void write(const QString& keyPath, const QString& valueName, const QString& text) override;
};
