#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "IniSettingsBackend.h"
#include "OrvaneE_Class.h"
#include "RecordingShell.h"
#include "ScriptedPrompts.h"
#include "frmMain.h"
#include "frmSplash.h"

namespace {

const QString Missing = QStringLiteral("<missing>");

}  // namespace

class tst_startup : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<RecordingShell> shell;
    std::unique_ptr<IniSettingsBackend> settings;
    std::unique_ptr<OrvaneE_Class> entry;
    QStringList opened;  // the hand-overs of the splash tick, in order
    QList<AppState::StartupOptions> prepared;

    void store(const QString& key, const QString& name, const QString& value) {
        if (value != Missing) {
            settings->write(key, name, value);
        }
    }
    QString stored(const QString& key, const QString& name) {
        return settings->read(key, name).value_or(Missing);
    }
    frmMain* editor() { return qobject_cast<frmMain*>(entry->state().mainEditor.data()); }

    // The entry routine with a splash that ticks at once and hand-overs that record.
    void start() {
        entry = std::make_unique<OrvaneE_Class>(*prompts, *shell, *settings, 0);
        AppState& state = entry->state();
        state.recentFile = dir->filePath("recent.dat");
        state.prepareOptions = [this](const AppState::StartupOptions& options) {
            QVERIFY(editor() != nullptr);
            prepared << options;
        };
        state.showPlayList = [this](bool modal) {
            opened << (QString(modal ? "play list modal" : "play list") +
                       (editor()->isVisible() ? "" : " before the editor"));
        };
        state.showTip = [this](QWidget* parent) {
            opened << (parent == editor() ? "tip" : "tip without the editor");
        };
        state.showWizard = [this](QWidget*) { opened << "wizard"; };
        entry->Main();
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName("Tessaly");
        QCoreApplication::setApplicationName("Orvane Editor");
    }
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        prompts = std::make_unique<ScriptedPrompts>();
        shell = std::make_unique<RecordingShell>();
        settings = std::make_unique<IniSettingsBackend>(dir->filePath("user.conf"), QString());
        opened.clear();
        prepared.clear();
    }
    void cleanup() {
        entry.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        QCOMPARE(prompts->calls.size(), 0);
    }

    void main_appliesSettings_data() {
        QTest::addColumn<QString>("defaultLink");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("storedDefaultLink");
        QTest::addColumn<QString>("storedVersion");
        QTest::newRow("first run") << Missing << Missing << "http://"
                                   << "HTTP"
                                   << "1.0.0";
        QTest::newRow("http lower case") << "http"
                                         << "1.0.0"
                                         << "http://"
                                         << "HTTP"
                                         << "1.0.0";
        QTest::newRow("Gopther") << "Gopther"
                                 << "1.0.0"
                                 << "gopther://"
                                 << "Gopther"
                                 << "1.0.0";
        QTest::newRow("other Version kept") << "HTTP"
                                            << "0.9.7"
                                            << "http://"
                                            << "HTTP"
                                            << "0.9.7";
        QTest::newRow("empty Version written") << "HTTP"
                                               << ""
                                               << "http://"
                                               << "HTTP"
                                               << "1.0.0";
    }
    void main_appliesSettings() {
        QFETCH(QString, defaultLink);
        QFETCH(QString, version);
        QFETCH(QString, address);
        QFETCH(QString, storedDefaultLink);
        QFETCH(QString, storedVersion);
        store(Registry::OptionKey, Registry::DefaultLink, defaultLink);
        store(Registry::ProductKey, Registry::Version, version);
        start();
        frmMain* main = editor();
        QVERIFY(main && !main->isVisible());
        QCOMPARE(main->address(), address);
        QCOMPARE(main->linkKind(), LinkKind::Web);
        QVERIFY(!main->urlChanged());
        QCOMPARE(main->windowTitle(), QStringLiteral("Orvane Editor"));
        QCOMPARE(main->noForm(), 0);
        QCOMPARE(prepared.size(), 1);
        QCOMPARE(prepared.first().defaultLink, storedDefaultLink);
        QCOMPARE(stored(Registry::OptionKey, Registry::DefaultLink), storedDefaultLink);
        QCOMPARE(stored(Registry::ProductKey, Registry::Version), storedVersion);
        QVERIFY(entry->splash()->isVisible());
        QTRY_VERIFY(main->isVisible());
        QVERIFY(entry->splash() == nullptr || !entry->splash()->isVisible());
    }

    void splashTick_opensWindowsByFlags_data() {
        QTest::addColumn<QString>("tips");
        QTest::addColumn<QString>("editorFlag");
        QTest::addColumn<QString>("wizard");
        QTest::addColumn<QStringList>("windows");
        QTest::newRow("no flags stored") << Missing << Missing << Missing << QStringList();
        QTest::newRow("all off") << "0"
                                 << "0"
                                 << "0" << QStringList();
        QTest::newRow("editor only: modal play list") << "0"
                                                      << "1"
                                                      << "0" << QStringList{"play list modal"};
        QTest::newRow("tips only") << "1"
                                   << "0"
                                   << "0" << QStringList{"tip"};
        QTest::newRow("tips and editor") << "1"
                                         << "1"
                                         << "1" << QStringList{"play list", "tip"};
        QTest::newRow("wizard without tips opens nothing") << "0"
                                                           << "0"
                                                           << "1" << QStringList();
        QTest::newRow("hand-edited flag is off") << "yes"
                                                 << "2"
                                                 << "0" << QStringList();
    }
    void splashTick_opensWindowsByFlags() {
        QFETCH(QString, tips);
        QFETCH(QString, editorFlag);
        QFETCH(QString, wizard);
        QFETCH(QStringList, windows);
        store(Registry::OptionKey, Registry::ShowTipsAtStartup, tips);
        store(Registry::OptionKey, Registry::ShowEditorAtStartup, editorFlag);
        store(Registry::OptionKey, Registry::ShowStartupWizard, wizard);
        start();
        QCOMPARE(prepared.first().showTips, tips == "1" ? 1 : 0);
        QCOMPARE(prepared.first().showEditor, editorFlag == "2" ? 2 : editorFlag == "1" ? 1 : 0);
        QCOMPARE(prepared.first().showWizard, wizard == "1" ? 1 : 0);
        QVERIFY(opened.isEmpty());
        QTRY_VERIFY(editor()->isVisible());
        QCOMPARE(opened, windows);
    }

    void splash_labels() {
        start();
        frmSplash* splash = entry->splash();
        QCOMPARE(splash->lblProductName->text(), QStringLiteral("Orvane Editor"));
        QCOMPARE(splash->lblVersion->text(), QStringLiteral("Version 1.0.0"));
        QCOMPARE(splash->lblPlatform->text(), QStringLiteral("For Windows 95 / NT"));
        QCOMPARE(splash->lblCompanyProduct->text(), QStringLiteral("Tessaly"));
        QCOMPARE(splash->lblCompany->text(), QStringLiteral("Tessaly"));
        QCOMPARE(splash->lblCopyright->text(), frmSplash::CopyrightText);
        QVERIFY(splash->lblWarning->text().isEmpty());
        QCOMPARE(splash->lblProductName->font().family(), QStringLiteral("Arial"));
        QVERIFY(splash->OrvaneC_Timer->isSingleShot());
        QTRY_VERIFY(entry->splash() == nullptr);
    }

    void standardFiles_areFixedAtStartup() {
        const QString recent = OrvaneE_Class::standardRecentFile();
        QCOMPARE(QFileInfo(recent).fileName(), QStringLiteral("recent.dat"));
        QVERIFY(QFileInfo(recent).absoluteDir().exists());
        QCOMPARE(QFileInfo(recent).absolutePath(),
                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));

        const QDir exeDir(QCoreApplication::applicationDirPath());
        QCOMPARE(OrvaneE_Class::standardDataDir(),
                 QDir::cleanPath(exeDir.filePath("../share/orvane-editor")));
        QFile tips(exeDir.filePath("tod.dat"));
        QVERIFY(tips.open(QIODevice::WriteOnly));
        tips.close();
        const QString withTips = OrvaneE_Class::standardDataDir();
        tips.remove();
        QCOMPARE(withTips, exeDir.absolutePath());
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
