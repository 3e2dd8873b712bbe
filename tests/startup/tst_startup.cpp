#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "IniSettingsBackend.h"
#include "OrvaneE_Class.h"
#include "RecordingShell.h"
#include "ScriptedPrompts.h"
#include "frmMain.h"
#include "frmSplash.h"

// The windows each startup flag opens, with the real tip window and wizard, are tested in
// tests/dialogs; here the settings, the hidden main editor and the splash.
class tst_startup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName("Tessaly");
        QCoreApplication::setApplicationName("Orvane Editor");
    }
    void cleanup() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // "Default Link" is matched exactly; "Version" is written only when missing or empty.
    void main_appliesAndSeedsSettings_data() {
        QTest::addColumn<QString>("defaultLink");  // stored before the start; null: missing
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("address");  // of the hidden main editor
        QTest::addColumn<QString>("storedLink");
        QTest::addColumn<QString>("storedVersion");
        const auto row = [](const char* name, const char* link, const char* version,
                            const char* address, const char* storedLink,
                            const char* storedVersion) {
            QTest::newRow(name) << QString(link) << QString(version) << QString(address)
                                << QString(storedLink) << QString(storedVersion);
        };
        row("first run", nullptr, nullptr, "http://", "HTTP", "1.0.0");
        row("http lower case", "http", "1.0.0", "http://", "HTTP", "1.0.0");
        row("Gopther", "Gopther", "1.0.0", "gopther://", "Gopther", "1.0.0");
        row("other Version kept", "HTTP", "0.9.7", "http://", "HTTP", "0.9.7");
        row("empty Version written", "HTTP", "", "http://", "HTTP", "1.0.0");
    }
    void main_appliesAndSeedsSettings() {
        QFETCH(QString, defaultLink);
        QFETCH(QString, version);
        QFETCH(QString, address);
        QFETCH(QString, storedLink);
        QFETCH(QString, storedVersion);
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        RecordingShell shell;
        IniSettingsBackend settings(dir.filePath("user.conf"), QString());
        if (!defaultLink.isNull()) {
            settings.write(Registry::OptionKey, Registry::DefaultLink, defaultLink);
        }
        if (!version.isNull()) {
            settings.write(Registry::ProductKey, Registry::Version, version);
        }
        auto entry = std::make_unique<OrvaneE_Class>(prompts, shell, settings, 0);
        entry->state().recentFile = dir.filePath("recent.dat");
        QStringList prepared;
        entry->state().prepareOptions = [&](const AppState::StartupOptions& options) {
            prepared << options.defaultLink;
        };
        entry->Main();
        auto* main = qobject_cast<frmMain*>(entry->state().mainEditor.data());
        QVERIFY(main && !main->isVisible());
        QCOMPARE(main->address(), address);
        QCOMPARE(main->linkKind(), LinkKind::Web);
        QVERIFY(!main->urlChanged());
        QCOMPARE(main->windowTitle(), QStringLiteral("Orvane Editor"));
        QCOMPARE(prepared, QStringList{storedLink});
        QCOMPARE(settings.read(Registry::OptionKey, Registry::DefaultLink).value_or(""),
                 storedLink);
        QCOMPARE(settings.read(Registry::ProductKey, Registry::Version).value_or(""),
                 storedVersion);
        frmSplash* splash = entry->splash();
        QVERIFY(splash->isVisible());
        const QList<QLabel*> labels = {splash->lblProductName, splash->lblVersion,
                                       splash->lblPlatform, splash->lblCompany};
        QStringList texts;
        for (QLabel* label : labels) {
            texts << label->text();
        }
        QCOMPARE(texts,
                 QStringList({"Orvane Editor", "Version 1.0.0", "For Windows 95 / NT", "Tessaly"}));
        // The injected delay is 0 ms: the tick closes the splash and shows the editor.
        QTRY_VERIFY(main->isVisible());
        QVERIFY(entry->splash() == nullptr || !entry->splash()->isVisible());
        QCOMPARE(main->noForm(), 0);
        entry.reset();
        QCOMPARE(prompts.calls.size(), 0);
    }

    // tod.dat next to the program (the build tree) wins over the installed data folder.
    void standardFiles_areFixedAtStartup() {
        const QString recent = OrvaneE_Class::standardRecentFile();
        QCOMPARE(recent, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                             QStringLiteral("/recent.dat"));
        QVERIFY(QFileInfo(recent).absoluteDir().exists());
        const QDir exeDir(QCoreApplication::applicationDirPath());
        QCOMPARE(OrvaneE_Class::standardDataDir(),
                 QDir::cleanPath(exeDir.filePath("../share/orvane-editor")));
        QFile tips(exeDir.filePath("tod.dat"));
        QVERIFY(tips.open(QIODevice::WriteOnly));
        const QString withTips = OrvaneE_Class::standardDataDir();
        tips.remove();
        QCOMPARE(withTips, exeDir.absolutePath());
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
