// The settings file as anyone may have edited it: every value the program reads comes back
// as a text without NUL characters or as missing, the startup's "Default Link" lookup takes
// only the exact texts, and any text the program writes reads back as it was written.
#include <QGuiApplication>
#include <QString>

#include "FuzzSupport.h"
#include "IniSettingsBackend.h"
#include "LinkKinds.h"
#include "Registry.h"
#include "ScratchFile.h"

// The program has a QGuiApplication when it reads its settings; a value that holds a picture
// or an icon ("@Variant(...)") cannot be read without one.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile userFile("settings.conf");
    static const ScratchFile systemFile("system.conf");
    static const ScratchFile writtenFile("written.conf");
    const QByteArray bytes = inputBytes(data, size);
    // The same bytes as the user's file and as the machine-wide one behind it.
    userFile.put(bytes);
    systemFile.put(bytes);
    IniSettingsBackend backend(userFile.path(), systemFile.path());
    const Registry registry(backend);

    QFile::remove(writtenFile.path());
    IniSettingsBackend written(writtenFile.path(), QString());

    const struct {
        const QString& key;
        const QString& name;
    } values[] = {
        {Registry::ProductKey, Registry::Version},
        {Registry::OptionKey, Registry::ShowTipsAtStartup},
        {Registry::OptionKey, Registry::ShowStartupWizard},
        {Registry::OptionKey, Registry::ShowEditorAtStartup},
        {Registry::OptionKey, Registry::DefaultLink},
    };
    for (const auto& value : values) {
        const SettingText text =
            registry.GetSettingText(Registry::Root::LocalMachine, value.key, value.name);
        (void)settingNumber(text);
        if (!text) {
            continue;
        }
        expect(!text->contains(QChar(0)), "a value read holds no NUL");
        if (const KindInfo* kind = kindForDefaultLink(*text)) {
            expect(kind->defaultLinkText == *text, "a default link is one of the exact texts");
        }
        // Written back, as the options dialog does, it reads the same.
        written.write(value.key, value.name, *text);
        expect(written.read(value.key, value.name) == text, "a value written back reads the same");
    }

    // Any text at all as a value, the input's bytes read as UTF-8. QSettings cannot store
    // every text the same (runs of NUL characters did not read back whole); such a write must
    // be refused with a reason, never stored changed.
    const QString any = QString::fromUtf8(bytes);
    written.write(Registry::OptionKey, Registry::DefaultLink, any);
    expect(written.read(Registry::OptionKey, Registry::DefaultLink) == any ||
               !written.problem().isEmpty(),
           "any text written reads back as it was, or the write is refused");
    return 0;
}
