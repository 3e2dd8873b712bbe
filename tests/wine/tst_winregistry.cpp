// The settings store and the about box's look-ups against a real registry: this program is
// cross-compiled for Windows and runs under Wine. Every row works below a key of its own,
// HKEY_LOCAL_MACHINE\SOFTWARE\OrvaneTest\<pid>\<table>\<row>, passed in as the root, so
// the key paths below it are the program's real ones. The whole tree is deleted at the end.

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
using Setup = std::function<void(HKEY root)>;

namespace {

int passed = 0;
int failed = 0;

std::string show(const Text& text) {
    if (!text) {
        return "(missing)";
    }
    std::string shown = "\"";
    for (std::size_t i = 0; i < text->size() && i < 80; ++i) {
        shown += (*text)[i] == '\0' ? "\\0"s : std::string(1, (*text)[i]);
    }
    shown += text->size() > 80 ? "...\" (" + std::to_string(text->size()) + " bytes)" : "\"";
    return shown;
}

void expect(bool ok, const std::string& where, const std::string& what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL %s: %s\n", where.c_str(), what.c_str());
    }
}

void expectText(const Text& actual, const Text& expected, const std::string& where) {
    expect(actual == expected, where, "got " + show(actual) + ", expected " + show(expected));
}

const std::string TestRoot = "SOFTWARE\\OrvaneTest";
const std::string RunKey = TestRoot + "\\" + std::to_string(GetCurrentProcessId());
const std::string OptionKey = "SOFTWARE\\Tessaly\\Orvane Editor\\Option";
const std::string TipsValue = "Show Tips at Startup";

// A fresh, empty key for one row; the caller closes it.
HKEY rowRoot(const std::string& table, std::size_t row) {
    HKEY key = nullptr;
    const std::string path = RunKey + "\\" + table + "\\" + std::to_string(row);
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS) {
        std::printf("cannot create %s\n", path.c_str());
        std::exit(2);
    }
    return key;
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

void createKey(HKEY root, const std::string& keyPath) {
    HKEY key = nullptr;
    RegCreateKeyA(root, keyPath.c_str(), &key);
    RegCloseKey(key);
}

bool keyExists(HKEY root, const std::string& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// ---- GetSettingText over what was stored -------------------------------------------------

struct ReadRow {
    const char* name;
    Setup setup;
    Text expected;
};

void readTable() {
    auto raw = [](DWORD type, std::string bytes) {
        return [=](HKEY root) { putRaw(root, OptionKey, TipsValue, type, bytes); };
    };
    auto saved = [](std::string text) {
        return [=](HKEY root) { WinRegistry::SaveSettingText(root, OptionKey, TipsValue, text); };
    };
    const std::string one = "\x01\x00\x00\x00"s;
    const std::vector<ReadRow> rows = {
        {"no product key", [](HKEY) {}, std::nullopt},
        {"key without the value", [](HKEY root) { createKey(root, OptionKey); }, std::nullopt},
        {"another value only",
         [](HKEY root) { putRaw(root, OptionKey, "Show Startup Wizard", REG_SZ, "1"); },
         std::nullopt},
        {"text saved", saved("1"), "1"},
        {"empty text saved", saved(""), ""},
        {"terminating zero", raw(REG_SZ, "HTTP\0"s), "HTTP"},
        {"NUL and X without terminating zero", raw(REG_SZ, "HTTP\0X"s), "HTTP"},
        {"NUL and X with terminating zero", raw(REG_SZ, "HTTP\0X\0"s), "HTTP"},
        {"empty with terminating zero", raw(REG_SZ, "\0"s), ""},
        {"longer than 1024 bytes", saved(std::string(5000, 'a')), std::string(5000, 'a')},
        {"REG_EXPAND_SZ", raw(REG_EXPAND_SZ, "HTTP\0"s), std::nullopt},
        {"REG_DWORD", raw(REG_DWORD, one), std::nullopt},
        {"REG_MULTI_SZ", raw(REG_MULTI_SZ, "HTTP\0\0"s), std::nullopt},
        {"REG_BINARY", raw(REG_BINARY, "HTTP"), std::nullopt},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        HKEY root = rowRoot("read", i);
        rows[i].setup(root);
        expectText(WinRegistry::GetSettingText(root, OptionKey, TipsValue), rows[i].expected,
                   "read/"s + rows[i].name);
        RegCloseKey(root);
    }
}

// ---- SaveSettingText: keys made, bytes stored --------------------------------------------

struct WriteRow {
    const char* name;
    Setup before;
    std::string text;
    Text readBack;
};

void writeTable() {
    const std::vector<WriteRow> rows = {
        {"every level missing", [](HKEY) {}, "1", "1"},
        {"product key present, subkey missing",
         [](HKEY root) { createKey(root, "SOFTWARE\\Tessaly\\Orvane Editor"); }, "HTTPS", "HTTPS"},
        {"replaces text", [](HKEY root) { putRaw(root, OptionKey, TipsValue, REG_SZ, "0"); }, "1",
         "1"},
        {"replaces a number",
         [](HKEY root) { putRaw(root, OptionKey, TipsValue, REG_DWORD, "\x01\x00\x00\x00"s); }, "0",
         "0"},
        {"empty text", [](HKEY) {}, "", ""},
        {"text with a NUL inside", [](HKEY) {}, "HTTP\0X"s, "HTTP"},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string where = "write/"s + rows[i].name;
        HKEY root = rowRoot("write", i);
        rows[i].before(root);
        WinRegistry::SaveSettingText(root, OptionKey, TipsValue, rows[i].text);
        for (const char* level :
             {"SOFTWARE", "SOFTWARE\\Tessaly", "SOFTWARE\\Tessaly\\Orvane Editor"}) {
            expect(keyExists(root, level), where, "level "s + level + " missing");
        }
        expectText(WinRegistry::GetSettingText(root, OptionKey, TipsValue), rows[i].readBack,
                   where);
        // Every byte of the text is stored; the registry itself may add the terminating zero.
        HKEY key = nullptr;
        DWORD type = 0;
        char data[64] = {};
        DWORD size = sizeof data;
        RegOpenKeyExA(root, OptionKey.c_str(), 0, KEY_READ, &key);
        const LONG result = RegQueryValueExA(key, TipsValue.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        const std::string stored(data, size);
        expect(result == ERROR_SUCCESS && type == REG_SZ &&
                   (stored == rows[i].text || stored == rows[i].text + '\0'),
               where, "stored type " + std::to_string(type) + " bytes " + show(stored));
        RegCloseKey(root);
    }
}

// ---- Keys that cannot be opened or created -----------------------------------------------

void failureTable() {
    // No root at all: nothing is opened, nothing closed, nothing raised (a crash here ends
    // the run with a failing exit code).
    expectText(WinRegistry::GetSettingText(nullptr, OptionKey, TipsValue), std::nullopt,
               "failure/read without a root");
    WinRegistry::SaveSettingText(nullptr, OptionKey, TipsValue, "1");

    // Below a volatile key no lasting key can be made: the write is lost, the read finds
    // nothing, and the handle that was never opened is not used.
    HKEY root = rowRoot("failure", 0);
    HKEY volatileKey = nullptr;
    RegCreateKeyExA(root, "volatile", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    &volatileKey, nullptr);
    WinRegistry::SaveSettingText(volatileKey, OptionKey, TipsValue, "1");
    expect(!keyExists(volatileKey, "SOFTWARE"), "failure/write that cannot create the key",
           "the key was created");
    expectText(WinRegistry::GetSettingText(volatileKey, OptionKey, TipsValue), std::nullopt,
               "failure/write that cannot create the key");
    RegCloseKey(volatileKey);
    RegCloseKey(root);
}

// ---- GetKeyValue --------------------------------------------------------------------------

struct KeyValueRow {
    const char* name;
    Setup setup;
    bool ok;
    std::string value;
};

void keyValueTable() {
    auto path = [](DWORD type, std::string bytes) {
        return [=](HKEY root) {
            putRaw(root, WinRegistry::SysInfoPathKey, WinRegistry::SysInfoPathValue, type, bytes);
        };
    };
    const std::vector<KeyValueRow> rows = {
        {"missing key", [](HKEY) {}, false, ""},
        {"missing value", [](HKEY root) { createKey(root, WinRegistry::SysInfoPathKey); }, false,
         ""},
        {"text ending in NUL", path(REG_SZ, "C:\\Tools\\msinfo32.exe\0"s), true,
         "C:\\Tools\\msinfo32.exe"},
        {"text without NUL", path(REG_SZ, "C:\\Tools\\msinfo32.exe"), true,
         "C:\\Tools\\msinfo32.exe"},
        {"only the last NUL dropped", path(REG_SZ, "C:\\a\0\0"s), true, "C:\\a\0"s},
        {"1024 bytes fit", path(REG_SZ, std::string(1023, 'p') + '\0'), true,
         std::string(1023, 'p')},
        {"1025 bytes do not fit", path(REG_SZ, std::string(1024, 'p') + '\0'), false, ""},
        {"empty text", path(REG_SZ, ""), true, ""},
        {"number", path(REG_DWORD, "\x01\x00\x00\x00"s), true, ""},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string where = "GetKeyValue/"s + rows[i].name;
        HKEY root = rowRoot("keyvalue", i);
        rows[i].setup(root);
        std::string value = "stale";
        const bool ok = WinRegistry::GetKeyValue(root, WinRegistry::SysInfoPathKey,
                                                 WinRegistry::SysInfoPathValue, value);
        expect(ok == rows[i].ok, where, "answered "s + (ok ? "True" : "False"));
        expectText(value, rows[i].value, where);
        RegCloseKey(root);
    }
}

// ---- FindSysInfoTool: the two locations and the file check --------------------------------

struct SysInfoRow {
    const char* name;
    std::function<void(HKEY root, const std::string& folders)> setup;
    std::function<Text(const std::string& folders)> expected;
};

void sysInfoTable() {
    // Real folders: "with" holds MSINFO32.EXE, "without" holds nothing, "folder" holds a
    // folder of that name.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folders = temp + "orvane-test-"s + std::to_string(GetCurrentProcessId());
    for (const char* sub : {"", "\\with", "\\without", "\\folder", "\\folder\\MSINFO32.EXE"}) {
        CreateDirectoryA((folders + sub).c_str(), nullptr);
    }
    HANDLE file = CreateFileA((folders + "\\with\\MSINFO32.EXE").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(file);

    auto location1 = [](HKEY root, const std::string& bytes) {
        putRaw(root, WinRegistry::SysInfoPathKey, WinRegistry::SysInfoPathValue, REG_SZ, bytes);
    };
    auto location2 = [](HKEY root, const std::string& bytes) {
        putRaw(root, WinRegistry::SysInfoFolderKey, WinRegistry::SysInfoFolderValue, REG_SZ, bytes);
    };
    auto tool = [](const std::string& f) -> Text { return f + "\\with\\MSINFO32.EXE"; };
    auto none = [](const std::string&) -> Text { return std::nullopt; };
    const std::vector<SysInfoRow> rows = {
        {"neither location", [](HKEY, const std::string&) {}, none},
        {"location 1 wins over location 2",
         [&](HKEY root, const std::string& f) {
             location1(root, "C:\\Elsewhere\\msinfo32.exe\0"s);
             location2(root, f + "\\with");
         },
         [](const std::string&) -> Text { return "C:\\Elsewhere\\msinfo32.exe"; }},
        {"location 1 path ending in NUL",
         [&](HKEY root, const std::string& f) { location1(root, tool(f).value() + '\0'); }, tool},
        {"location 1 key without PATH",
         [&](HKEY root, const std::string& f) {
             createKey(root, WinRegistry::SysInfoPathKey);
             location2(root, f + "\\with");
         },
         tool},
        {"location 2 folder with the tool",
         [&](HKEY root, const std::string& f) { location2(root, f + "\\with"); }, tool},
        {"location 2 folder ending in NUL",
         [&](HKEY root, const std::string& f) { location2(root, f + "\\with" + '\0'); }, tool},
        {"location 2 folder without the tool",
         [&](HKEY root, const std::string& f) { location2(root, f + "\\without"); }, none},
        {"location 2 tool name is a folder",
         [&](HKEY root, const std::string& f) { location2(root, f + "\\folder"); }, none},
        {"location 2 as a number",
         [&](HKEY root, const std::string&) {
             putRaw(root, WinRegistry::SysInfoFolderKey, WinRegistry::SysInfoFolderValue, REG_DWORD,
                    "\x01\x00\x00\x00"s);
         },
         none},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        HKEY root = rowRoot("sysinfo", i);
        rows[i].setup(root, folders);
        expectText(WinRegistry::FindSysInfoTool(root), rows[i].expected(folders),
                   "FindSysInfoTool/"s + rows[i].name);
        RegCloseKey(root);
    }

    DeleteFileA((folders + "\\with\\MSINFO32.EXE").c_str());
    for (const char* sub : {"\\folder\\MSINFO32.EXE", "\\folder", "\\without", "\\with", ""}) {
        RemoveDirectoryA((folders + sub).c_str());
    }
}

}  // namespace

int main() {
    readTable();
    writeTable();
    failureTable();
    keyValueTable();
    sysInfoTable();

    // Leave the registry as it was: this run's tree, and the parent when no other run uses it.
    expect(RegDeleteTreeA(HKEY_LOCAL_MACHINE, RunKey.c_str()) == ERROR_SUCCESS &&
               !keyExists(HKEY_LOCAL_MACHINE, RunKey),
           "cleanup", "the test key " + RunKey + " is still there");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, TestRoot.c_str());

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
