#pragma once

// The settings store and the about box's registry look-ups on the real Windows registry,
// through the ANSI calls of advapi32. Plain C++ and <windows.h> only, so that the same
// code runs in the program and in the registry test that runs under Wine.

#include <windows.h>

#include <optional>
#include <string>

namespace WinRegistry {

// The stored REG_SZ text up to its first NUL, or nullopt (the missing marker) when the key
// or the value is missing, the key cannot be opened, or the value is not REG_SZ.
std::optional<std::string> GetSettingText(HKEY root, const std::string& keyPath,
                                          const std::string& valueName);

// Stores the text as REG_SZ, without a terminating zero, creating every missing level of
// the key path. A write that fails goes unreported; the next read shows what is there.
void SaveSettingText(HKEY root, const std::string& keyPath, const std::string& valueName,
                     const std::string& text);

// Reads the value subKeyRef of the key keyName into keyValue. False, with keyValue empty,
// when the key cannot be opened or the value cannot be read into 1024 bytes. One trailing
// NUL is dropped. A value that is not REG_SZ reads as the empty text.
bool GetKeyValue(HKEY root, const std::string& keyName, const std::string& subKeyRef,
                 std::string& keyValue);

// Where the system-information tool is registered, relative to the root.
inline constexpr const char* SysInfoPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char* SysInfoPathValue = "PATH";
inline constexpr const char* SysInfoFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr const char* SysInfoFolderValue = "MSINFO";
inline constexpr const char* SysInfoProgram = "\\MSINFO32.EXE";

// The system-information tool's path: the full path registered first, as it stands (if it
// names no program, starting it fails); else the registered folder followed by
// "\MSINFO32.EXE" when that file exists; nullopt when neither is found.
std::optional<std::string> FindSysInfoTool(HKEY root);

}  // namespace WinRegistry
