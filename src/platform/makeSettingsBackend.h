#pragma once

#include <memory>

#include "SettingsBackend.h"

// The settings store of this build: the registry on Windows, INI files elsewhere.
std::unique_ptr<SettingsBackend> makeSettingsBackend();
