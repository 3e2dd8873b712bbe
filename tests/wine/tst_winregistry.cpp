// The settings store and the about box's key look-up against Wine's registry. Each row works
// below a fresh key of its own, HKEY_LOCAL_MACHINE\SOFTWARE\OrvaneTest\<pid>\<row>, so the
// key paths below it are the program's real ones. The tree is deleted at the end.

#include <windows.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "WinRegistry.h"

using namespace std::string_literals;
using namespace WinRegistry;
using Text = std::optional<std::string>;
using Step = std::function<void(HKEY)>;

namespace {

const std::string RunKey = "SOFTWARE\\OrvaneTest\\" + std::to_string(GetCurrentProcessId());
const std::string OptionKey = "SOFTWARE\\Tessaly\\Orvane Editor\\Option";
const char* const TipsValue = "Show Tips at Startup";

// Stores exactly these bytes as another tool would. The registry adds a terminating zero to
// a text whose next byte in memory is zero, so the bytes are followed by one that is not.
Step raw(const std::string& keyPath, const char* name, DWORD type, const std::string& bytes) {
    return [=](HKEY root) {
        const std::string padded = bytes + '!';
        HKEY key = nullptr;
        RegCreateKeyA(root, keyPath.c_str(), &key);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(padded.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    };
}

Step saved(const std::string& text) {
    return [=](HKEY root) { SaveSettingText(root, OptionKey, TipsValue, text); };
}

Text setting(HKEY root) {
    return GetSettingText(root, OptionKey, TipsValue);
}

Text keyValue(HKEY root) {
    std::string value;
    return GetKeyValue(root, SysInfoPathKey, SysInfoPathValue, value) ? Text(value) : std::nullopt;
}

}  // namespace

int main() {
    const struct {
        const char* name;
        Step setup;
        std::function<Text(HKEY)> read;
        Text expected;
    } rows[] = {
        {"setting: no product key", [](HKEY) {}, setting, std::nullopt},
        {"setting: saved where every level was missing", saved("1"), setting, "1"},
        {"setting: empty text saved", saved(""), setting, ""},
        {"setting: longer than 1024 bytes", saved(std::string(5000, 'a')), setting,
         std::string(5000, 'a')},
        {"setting: REG_EXPAND_SZ", raw(OptionKey, TipsValue, REG_EXPAND_SZ, "HTTP\0"s), setting,
         std::nullopt},
        {"key value: only the last NUL dropped",
         raw(SysInfoPathKey, SysInfoPathValue, REG_SZ, "C:\\a\0\0"s), keyValue, "C:\\a\0"s},
    };
    int failed = 0;
    int index = 0;
    for (const auto& row : rows) {
        HKEY root = nullptr;
        const std::string key = RunKey + "\\" + std::to_string(index++);
        if (RegCreateKeyA(HKEY_LOCAL_MACHINE, key.c_str(), &root) != ERROR_SUCCESS) {
            std::printf("cannot create %s\n", key.c_str());
            return 2;
        }
        row.setup(root);
        const Text actual = row.read(root);
        RegCloseKey(root);
        if (actual != row.expected) {
            ++failed;
            std::printf("FAIL %s: got %s\n", row.name, actual.value_or("(missing)").c_str());
        }
    }
    // Leave the registry as it was: this run's tree, and the parent when no other run uses it.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, RunKey.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\OrvaneTest");
    std::printf("%d rows, %d failed\n", index, failed);
    return failed == 0 ? 0 : 1;
}
