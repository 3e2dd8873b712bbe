#include "WinRegistry.h"

namespace WinRegistry {

namespace {

// The access the about box asks for when it opens a key (KEY_ALL_ACCESS without
// DELETE, WRITE_DAC and WRITE_OWNER).
constexpr REGSAM KeyValueAccess = 0x2003F;
constexpr DWORD KeyValueBufferSize = 1024;

// The text before its first NUL; a text without NUL whole. A value written with a
// terminating zero and one written without read the same.
std::string CutAtNul(const std::string& text) {
    const std::string::size_type nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}

// Type and size first, without a buffer; then exactly that many bytes. REG_SZ only.
std::optional<std::string> QueryTextValue(HKEY key, const std::string& valueName) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    // Never a null data pointer, even for an empty value: that would only ask the size again.
    std::string buffer(size, ' ');
    DWORD read = size;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &read) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    // The value may have shrunk between the two calls: no blanks that were never stored.
    if (read < size) {
        buffer.resize(read);
    }
    return CutAtNul(buffer);
}

// A file, not a folder, at that path.
bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::optional<std::string> GetSettingText(HKEY root, const std::string& keyPath,
                                          const std::string& valueName) {
    HKEY key = nullptr;
    // A key that cannot be opened reads as missing; its handle is never touched.
    if (RegOpenKeyA(root, keyPath.c_str(), &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::optional<std::string> value = QueryTextValue(key, valueName);
    RegCloseKey(key);
    return value;
}

void SaveSettingText(HKEY root, const std::string& keyPath, const std::string& valueName,
                     const std::string& text) {
    HKEY key = nullptr;
    if (RegCreateKeyA(root, keyPath.c_str(), &key) != ERROR_SUCCESS) {
        return;
    }
    // The length in bytes of the ANSI text, so multi-byte characters are stored whole.
    RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                   static_cast<DWORD>(text.size()));
    RegCloseKey(key);
}

bool GetKeyValue(HKEY root, const std::string& keyName, const std::string& subKeyRef,
                 std::string& keyValue) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyName.c_str(), 0, KeyValueAccess, &key) != ERROR_SUCCESS) {
        keyValue.clear();
        return false;
    }
    char buffer[KeyValueBufferSize] = {};
    DWORD size = KeyValueBufferSize;
    DWORD type = 0;
    if (RegQueryValueExA(key, subKeyRef.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS) {
        keyValue.clear();
        RegCloseKey(key);
        return false;
    }
    // Other tools store the terminating zero with the text.
    if (size > 0 && buffer[size - 1] == '\0') {
        --size;
    }
    keyValue = type == REG_SZ ? std::string(buffer, size) : std::string();
    RegCloseKey(key);
    return true;
}

std::optional<std::string> FindSysInfoTool(HKEY root) {
    std::string path;
    if (GetKeyValue(root, SysInfoPathKey, SysInfoPathValue, path)) {
        return path;
    }
    std::string folder;
    if (GetKeyValue(root, SysInfoFolderKey, SysInfoFolderValue, folder)) {
        std::string program = folder + SysInfoProgram;
        if (FileExists(program)) {
            return program;
        }
    }
    return std::nullopt;
}

}  // namespace WinRegistry
