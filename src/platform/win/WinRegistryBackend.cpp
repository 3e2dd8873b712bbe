#include "WinRegistryBackend.h"

#include <QByteArray>

#include "WinRegistry.h"

namespace {

// On Windows, the local 8-bit encoding is the ANSI code page the "A" calls use.
std::string toAnsi(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

std::optional<QString> WinRegistryBackend::read(const QString& keyPath, const QString& valueName) {
    const std::optional<std::string> value =
        WinRegistry::GetSettingText(HKEY_LOCAL_MACHINE, toAnsi(keyPath), toAnsi(valueName));
    if (!value) {
        return std::nullopt;
    }
    return QString::fromLocal8Bit(value->data(), static_cast<qsizetype>(value->size()));
}

void WinRegistryBackend::write(const QString& keyPath, const QString& valueName,
                               const QString& text) {
    WinRegistry::SaveSettingText(HKEY_LOCAL_MACHINE, toAnsi(keyPath), toAnsi(valueName),
                                 toAnsi(text));
}
