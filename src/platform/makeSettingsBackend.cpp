#include "makeSettingsBackend.h"

#ifdef _WIN32
#include "WinRegistryBackend.h"
#else
#include "IniSettingsBackend.h"
#endif

std::unique_ptr<SettingsBackend> makeSettingsBackend() {
#ifdef _WIN32
    return std::make_unique<WinRegistryBackend>();
#else
    return std::make_unique<IniSettingsBackend>();
#endif
}
