// The settings store and the about box's look-ups against Wine's registry. Each row works
// below a fresh root key, HKEY_LOCAL_MACHINE\SOFTWARE\OrvaneTest\<pid>\<table>\<row>, so the
// key paths below it are the program's real ones. The tree is deleted at the end.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "WinRegistry.h"

using namespace std::string_literals;
using Text = std::optional<std::string>;

namespace {

int passed = 0;
int failed = 0;

std::string show(const Text& text) {
    if (!text) {
        return "(missing)";
    }
    std::string shown;
    for (char c : text->substr(0, 80)) {
        shown += c == '\0' ? "\\0"s : std::string(1, c);
    }
    return "\"" + shown + "\" (" + std::to_string(text->size()) + " bytes)";
}

void expect(bool ok, const std::string& where, const std::string& what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL %s: %s\n", where.c_str(), what.c_str());
    }
}

const std::string TestRoot = "SOFTWARE\\OrvaneTest";
const std::string RunKey = TestRoot + "\\" + std::to_string(GetCurrentProcessId());
const std::string OptionKey = "SOFTWARE\\Tessaly\\Orvane Editor\\Option";
const std::string TipsValue = "Show Tips at Startup";

void createKey(HKEY root, const std::string& keyPath) {
    HKEY key = nullptr;
    RegCreateKeyA(root, keyPath.c_str(), &key);
    RegCloseKey(key);
}

// Stores exactly these bytes as another tool would: any type, zeros where they stand. The
// registry adds a terminating zero to a text whose next byte in memory is zero, so the
// bytes are followed by one that is not.
void putRaw(HKEY root, const std::string& keyPath, const std::string& name, DWORD type,
            const std::string& bytes) {
    const std::string padded = bytes + '!';
    HKEY key = nullptr;
    RegCreateKeyA(root, keyPath.c_str(), &key);
    RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(padded.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

struct Row {
    const char* name;
    std::function<void(HKEY root)> setup;
    Text expected;
};

// Each row: a fresh, empty root key, the row's setup below it, then `read` from it.
void runTable(const std::string& table, const std::function<Text(HKEY)>& read,
              const std::vector<Row>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        HKEY root = nullptr;
        const std::string path = RunKey + "\\" + table + "\\" + std::to_string(i);
        if (RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &root) != ERROR_SUCCESS) {
            std::printf("cannot create %s\n", path.c_str());
            std::exit(2);
        }
        rows[i].setup(root);
        const Text actual = read(root);
        expect(actual == rows[i].expected, table + "/" + rows[i].name,
               "got " + show(actual) + ", expected " + show(rows[i].expected));
        RegCloseKey(root);
    }
}

auto tipsRaw(DWORD type, const std::string& bytes) {
    return [=](HKEY root) { putRaw(root, OptionKey, TipsValue, type, bytes); };
}

auto tipsSaved(const std::string& text) {
    return [=](HKEY root) { WinRegistry::SaveSettingText(root, OptionKey, TipsValue, text); };
}

auto sysInfo(const char* key, const char* value, const std::string& bytes) {
    return [=](HKEY root) { putRaw(root, key, value, REG_SZ, bytes); };
}

void settingsTable() {
    runTable(
        "settings",
        [](HKEY root) { return WinRegistry::GetSettingText(root, OptionKey, TipsValue); },
        {
            {"no product key", [](HKEY) {}, std::nullopt},
            {"key without the value", [](HKEY r) { createKey(r, OptionKey); }, std::nullopt},
            {"saved where every level was missing", tipsSaved("1"), "1"},
            {"empty text saved", tipsSaved(""), ""},
            {"longer than 1024 bytes", tipsSaved(std::string(5000, 'a')), std::string(5000, 'a')},
            {"NUL and X without terminating zero", tipsRaw(REG_SZ, "HTTP\0X"s), "HTTP"},
            {"NUL and X with terminating zero", tipsRaw(REG_SZ, "HTTP\0X\0"s), "HTTP"},
            {"REG_EXPAND_SZ", tipsRaw(REG_EXPAND_SZ, "HTTP\0"s), std::nullopt},
            {"REG_DWORD", tipsRaw(REG_DWORD, "\1\0\0\0"s), std::nullopt},
        });
}

void keyValueTable() {
    using namespace WinRegistry;
    auto path = [](const std::string& bytes) {
        return sysInfo(SysInfoPathKey, SysInfoPathValue, bytes);
    };
    runTable(
        "GetKeyValue",
        [](HKEY root) -> Text {
            std::string value = "stale";
            const bool ok = GetKeyValue(root, SysInfoPathKey, SysInfoPathValue, value);
            expect(ok || value.empty(), "GetKeyValue", "a failed read left " + show(value));
            return ok ? Text(value) : std::nullopt;
        },
        {
            {"missing key", [](HKEY) {}, std::nullopt},
            {"missing value", [](HKEY r) { createKey(r, SysInfoPathKey); }, std::nullopt},
            {"only the last NUL dropped", path("C:\\a\0\0"s), "C:\\a\0"s},
            {"1024 bytes fit", path(std::string(1023, 'p') + '\0'), std::string(1023, 'p')},
            {"1025 bytes do not fit", path(std::string(1024, 'p') + '\0'), std::nullopt},
            {"number reads as empty text",
             [](HKEY r) { putRaw(r, SysInfoPathKey, SysInfoPathValue, REG_DWORD, "\1\0\0\0"s); },
             ""},
        });
}

void sysInfoTable() {
    using namespace WinRegistry;
    // Real folders: "with" holds MSINFO32.EXE, "without" nothing, "folder" a folder of that name.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folders = temp + "orvane-test-"s + std::to_string(GetCurrentProcessId());
    const std::string tool = folders + "\\with\\MSINFO32.EXE";
    for (const char* sub : {"", "\\with", "\\without", "\\folder", "\\folder\\MSINFO32.EXE"}) {
        CreateDirectoryA((folders + sub).c_str(), nullptr);
    }
    CloseHandle(CreateFileA(tool.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    auto folder = [](const std::string& bytes) {
        return sysInfo(SysInfoFolderKey, SysInfoFolderValue, bytes);
    };
    runTable(
        "FindSysInfoTool", FindSysInfoTool,
        {
            {"neither location", [](HKEY) {}, std::nullopt},
            {"location 1 wins over location 2",
             [&](HKEY r) {
                 sysInfo(SysInfoPathKey, SysInfoPathValue, "C:\\x.exe\0"s)(r);
                 folder(folders + "\\with")(r);
             },
             "C:\\x.exe"},
            {"location 1 key without PATH",
             [&](HKEY r) {
                 createKey(r, SysInfoPathKey);
                 folder(folders + "\\with")(r);
             },
             tool},
            {"location 2 folder ending in NUL", folder(folders + "\\with" + '\0'), tool},
            {"location 2 folder without the tool", folder(folders + "\\without"), std::nullopt},
            {"location 2 tool name is a folder", folder(folders + "\\folder"), std::nullopt},
        });
    DeleteFileA(tool.c_str());
    for (const char* sub : {"\\folder\\MSINFO32.EXE", "\\folder", "\\without", "\\with", ""}) {
        RemoveDirectoryA((folders + sub).c_str());
    }
}

}  // namespace

int main() {
    settingsTable();
    keyValueTable();
    sysInfoTable();
    // Leave the registry as it was: this run's tree, and the parent when no other run uses it.
    expect(RegDeleteTreeA(HKEY_LOCAL_MACHINE, RunKey.c_str()) == ERROR_SUCCESS, "cleanup",
           "the test key " + RunKey + " is still there");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, TestRoot.c_str());
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
