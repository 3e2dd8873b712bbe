#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStandardPaths>
#include <QWindow>

#include "Fixture.h"
#include "OrvaneE_Class.h"
#include "frmMain.h"
#include "frmRMMulti.h"
#include "frmSplash.h"
#include "frmStartup.h"
#include "frmTip.h"

namespace {

// The program's entry routine over the fixture's settings and prompts, with `flags` (tips,
// editor, wizard: "0", "1" or "-" missing) stored before it runs Main.
std::unique_ptr<OrvaneE_Class> start(Fixture& f, const QString& flags) {
    const QString names[] = {Registry::ShowTipsAtStartup, Registry::ShowEditorAtStartup,
                             Registry::ShowStartupWizard};
    for (int i = 0; i < 3; ++i) {
        if (flags[i] != QLatin1Char('-')) {
            f.backend.setOption(names[i], flags.mid(i, 1));
        }
    }
    f.write("tod.dat", "A tip.\r\n");
    auto entry = std::make_unique<OrvaneE_Class>(f.prompts, f.shell, f.backend, 60000);
    entry->state().dataDir = f.dir.path();
    entry->state().recentFile = f.state.recentFile;
    entry->Main();
    return entry;
}

}  // namespace

class tst_startup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
    }

    // "Default Link" is matched exactly; "Version" is written only when missing or empty.
    void main_appliesAndSeedsSettings_data() {
        QTest::addColumn<QString>("defaultLink");  // stored before the start; null: missing
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("address");  // of the hidden main editor
        QTest::addColumn<QString>("storedLink");
        QTest::addColumn<QString>("storedVersion");
        QTest::newRow("first run") << QString() << QString() << "http://"
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
    void main_appliesAndSeedsSettings() {
        QFETCH(QString, defaultLink);
        QFETCH(QString, version);
        QFETCH(QString, address);
        QFETCH(QString, storedLink);
        QFETCH(QString, storedVersion);
        Fixture f;
        if (!defaultLink.isNull()) {
            f.backend.setOption(Registry::DefaultLink, defaultLink);
        }
        if (!version.isNull()) {
            f.backend.write(Registry::ProductKey, Registry::Version, version);
        }
        auto entry = std::make_unique<OrvaneE_Class>(f.prompts, f.shell, f.backend, 0);
        entry->Main();
        frmMain* main = entry->windows().mainEditor();
        QVERIFY(main && !main->isVisible());
        QCOMPARE(main->address(), address);
        QCOMPARE(main->linkKind(), LinkKind::Web);
        QVERIFY(!main->urlChanged());
        QCOMPARE(main->windowTitle(), QStringLiteral("Orvane Editor"));
        QCOMPARE(f.registry.option(Registry::DefaultLink).value_or(""), storedLink);
        QCOMPARE(f.registry
                     .GetSettingText(Registry::Root::LocalMachine, Registry::ProductKey,
                                     Registry::Version)
                     .value_or(""),
                 storedVersion);
        frmSplash* splash = entry->splash();
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->lblProductName->text() + '/' + splash->lblVersion->text(),
                 QStringLiteral("Orvane Editor/Version 1.0.0"));
        QCOMPARE(splash->size(), QSize(460, 270));
        // The injected delay is 0 ms: the tick closes the splash and shows the editor.
        QTRY_VERIFY(main->isVisible());
        QVERIFY(entry->splash() == nullptr || !entry->splash()->isVisible());
        QCOMPARE(main->noForm(), 0);
        entry.reset();
        QCOMPARE(f.prompts.calls.size(), 0);
    }

    // The windows the splash tick opens by the three flags, in the order they nest; the tip
    // is closed by OK (or its close box), the wizard by Cancel.
    void splashTick_opensWindowsByFlags_data() {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<bool>("tipByOk");
        QTest::addColumn<QStringList>("opened");
        const QStringList tip{"tip", "tip closed"};
        const QStringList tipAndWizard{"tip", "wizard over the editor", "wizard closed",
                                       "tip closed"};
        QTest::newRow("wizard alone opens nothing") << "001" << true << QStringList{};
        QTest::newRow("editor only: modal play list")
            << "011" << true << QStringList{"play list modal"};
        QTest::newRow("tips and wizard") << "101" << true << tipAndWizard;
        QTest::newRow("all three") << "111" << true << QStringList{"play list"} + tipAndWizard;
        QTest::newRow("tip closed by its close box opens no wizard") << "101" << false << tip;
    }
    void splashTick_opensWindowsByFlags() {
        QFETCH(QString, flags);
        QFETCH(bool, tipByOk);
        QFETCH(QStringList, opened);
        Fixture f;
        auto entry = start(f, flags);
        frmMain* main = entry->windows().mainEditor();
        QStringList events;
        QPointer<frmTip> tip;
        QTimer watcher;
        watcher.setInterval(5);
        connect(&watcher, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            frmRMMulti* playList = entry->windows().playLists().window();
            if (playList && playList->isVisible() && !events.contains("play list")) {
                events << "play list";
                if (!QApplication::activeModalWidget()) {  // the caller waits for it
                    events.last() += " modal";
                    playList->fileAction(7)->trigger();
                }
            } else if (auto* shownTip = qobject_cast<frmTip*>(modal); shownTip && shownTip != tip) {
                tip = shownTip;
                events << "tip";
                connect(shownTip, &QObject::destroyed, [&events] { events << "tip closed"; });
                QTimer::singleShot(0, shownTip, [shownTip, tipByOk] {
                    tipByOk ? shownTip->cmdOK->click() : (void)shownTip->close();
                });
            } else if (auto* wizard = qobject_cast<frmStartup*>(modal)) {
                const bool placed = tip && !tip->isVisible() && wizard->parentWidget() == main;
                events << (placed ? "wizard over the editor" : "wizard in the wrong place");
                connect(wizard, &QObject::destroyed, [&events] { events << "wizard closed"; });
                wizard->cmdCancel->click();
            }
        });
        watcher.start();
        entry->SplashTick();
        watcher.stop();
        QVERIFY(main->isVisible());
        QCOMPARE(events, opened);
        // Cancelling the wizard leaves the editor as startup made it.
        QCOMPARE(main->address(), QStringLiteral("http://"));
        QVERIFY(!main->urlChanged());
        entry.reset();
    }

    // "RealMedia Link with Play List Support" in the wizard: the play list opens once the
    // wizard has closed, in front and usable (not held behind a modal window); an entry is
    // added and the window closed.
    void wizardPlayList_usable_data() {
        QTest::addColumn<QString>("from");
        QTest::newRow("Ctrl+N in the editor") << "editor";
        QTest::newRow("startup: tip, OK, wizard") << "startup";
        QTest::newRow("a second editor window") << "second";
    }
    void wizardPlayList_usable() {
        QFETCH(QString, from);
        Fixture f;
        auto entry = start(f, from == "startup" ? "101" : "000");
        frmMain* main = entry->windows().mainEditor();
        QStringList seen;
        QTimer watcher;
        watcher.setInterval(5);
        connect(&watcher, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            frmRMMulti* playList = entry->windows().playLists().window();
            if (playList && playList->isVisible() && seen.isEmpty()) {
                seen << (modal == nullptr && playList->isEnabled() ? "usable" : "blocked");
                playList->txtURL->clear();
                QTest::keyClicks(playList->txtURL, "http://typed/");
                playList->cmdAdd->click();
                seen << playList->entries();
                f.prompts.answerMessage(Prompts::Answer::No);
                QCloseEvent close;
                QApplication::sendEvent(playList->windowHandle(), &close);
                seen << (close.isAccepted() ? "closed" : "open");
            } else if (auto* tip = qobject_cast<frmTip*>(modal)) {
                QTimer::singleShot(0, tip, [tip] { tip->cmdOK->click(); });
            } else if (auto* wizard = qobject_cast<frmStartup*>(modal)) {
                wizard->selectItem(
                    wizard->listItems().indexOf("RealMedia Link with Play List Support"));
                QTimer::singleShot(0, wizard, [wizard] { wizard->cmdOK->click(); });
            }
        });
        watcher.start();
        entry->SplashTick();
        if (from == "editor") {
            main->newAction(0)->trigger();
        } else if (from == "second") {
            main->newAction(1)->trigger();
            static_cast<frmMain*>(entry->state().editorWindows().last())->newAction(0)->trigger();
        }
        watcher.stop();
        QCOMPARE(seen, (QStringList{"usable", "http://typed/", "closed"}));
        QVERIFY(main->isEnabled());
        QCOMPARE(f.prompts.pendingAnswers(), 0);
        entry.reset();
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
