#include "Fixture.h"
#include "OrvaneE_Class.h"
#include "frmMain.h"
#include "frmRMMulti.h"
#include "frmSplash.h"
#include "frmStartup.h"
#include "frmTip.h"

namespace {

// The program's entry routine over the fixture's settings and prompts, with `flags` (tips,
// editor, wizard: "0" or "1") stored before it runs Main.
std::unique_ptr<OrvaneE_Class> start(Fixture& f, const QString& flags, int splashMs = 60000) {
    const QString names[] = {Registry::ShowTipsAtStartup, Registry::ShowEditorAtStartup,
                             Registry::ShowStartupWizard};
    for (int i = 0; i < 3; ++i) {
        f.backend.setOption(names[i], flags.mid(i, 1));
    }
    f.write("tod.dat", "A tip.\r\n");
    auto entry = std::make_unique<OrvaneE_Class>(f.prompts, f.shell, f.backend, splashMs);
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

    // "Default Link" and "Version" stored before the start (null: missing), and afterwards:
    // "Default Link" is matched exactly and replaced when unknown; "Version" is written only
    // when missing or empty. The splash shows, then its tick shows the main editor.
    void main_appliesAndSeedsSettings_data() {
        columns<QString, QString, QString>("defaultLink", "version", "stored");
        row("first run", QString(), QString(), "HTTP 1.0.0");
        row("http lower case", "http", "1.0.0", "HTTP 1.0.0");
        row("other Version kept", "HTTP", "0.9.7", "HTTP 0.9.7");
    }
    void main_appliesAndSeedsSettings() {
        auto [defaultLink, version, stored] =
            fetch<QString, QString, QString>("defaultLink", "version", "stored");
        Fixture f;
        if (!defaultLink.isNull()) {
            f.backend.setOption(Registry::DefaultLink, defaultLink);
        }
        if (!version.isNull()) {
            f.backend.write(Registry::ProductKey, Registry::Version, version);
        }
        auto entry = start(f, "000", 0);
        frmMain* main = entry->windows().mainEditor();
        QVERIFY(main && !main->isVisible());
        QCOMPARE(main->address() + ' ' + linkKindText(main->linkKind()), "http:// Web");
        QVERIFY(!main->urlChanged());
        QCOMPARE(f.backend.read(Registry::OptionKey, Registry::DefaultLink).value_or("") + ' ' +
                     f.backend.read(Registry::ProductKey, Registry::Version).value_or(""),
                 stored);
        QVERIFY(entry->splash()->isVisible());
        QTRY_VERIFY(main->isVisible());  // the injected delay is 0 ms
        QVERIFY(entry->splash() == nullptr || !entry->splash()->isVisible());
        QCOMPARE(main->noForm(), 0);
        entry.reset();
        QCOMPARE(f.prompts.calls.size(), 0);
    }

    // The windows opened by the splash tick (by the three flags) and after it (by New Link
    // in a second window), in the order they open and close. The tip is closed by OK or its
    // close box; the wizard cancelled or given the play list, which must then come up in
    // front and usable: an entry is typed, added, and the window closed.
    void windowsAfterSplash_data() {
        columns<QString, bool, bool, bool, QString>("flags", "tipByOk", "pickPlayList", "second",
                                                    "events");
        const QString usable = QStringLiteral("play list usable: http://x");
        row("wizard alone opens nothing", "001", true, false, false, "");
        row("editor only: play list waited for", "011", true, false, false, usable);
        row("all three", "111", true, false, false,
            "play list behind a dialog, tip, wizard over the editor, wizard closed, tip closed");
        row("tip closed by its close box opens no wizard", "101", false, false, false,
            "tip, tip closed");
        row("wizard's play list at startup", "101", true, true, false,
            "tip, wizard over the editor, " + usable + ", wizard closed, tip closed");
        row("wizard's play list from a second window", "000", true, true, true,
            "wizard over another window, " + usable + ", wizard closed");
    }
    void windowsAfterSplash() {
        auto [flags, tipByOk, pickPlayList, second, events] =
            fetch<QString, bool, bool, bool, QString>("flags", "tipByOk", "pickPlayList", "second",
                                                      "events");
        Fixture f;
        auto entry = start(f, flags);
        frmMain* main = entry->windows().mainEditor();
        QStringList seen;
        QPointer<frmTip> tip;
        QTimer watcher;
        watcher.setInterval(5);
        connect(&watcher, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            frmRMMulti* playList = entry->windows().playLists().window();
            if (playList && playList->isVisible() && !seen.join(' ').contains("play list")) {
                if (modal || !playList->isEnabled()) {
                    seen << "play list behind a dialog";
                    return;
                }
                // A window held behind another would take no keys.
                QTest::keyClicks(playList->txtURL, "x");
                playList->cmdAdd->click();
                f.prompts.answerMessage(Prompts::Answer::No);
                seen << "play list usable: " + playList->entries().join(' ');
                playList->fileAction(7)->trigger();
            } else if (auto* shownTip = qobject_cast<frmTip*>(modal); shownTip && shownTip != tip) {
                tip = shownTip;
                seen << "tip";
                connect(shownTip, &QObject::destroyed, [&seen] { seen << "tip closed"; });
                QTimer::singleShot(0, shownTip, [shownTip, tipByOk] {
                    tipByOk ? shownTip->cmdOK->click() : (void)shownTip->close();
                });
            } else if (auto* wizard = qobject_cast<frmStartup*>(modal);
                       wizard && !seen.join(' ').contains("wizard")) {
                seen << QStringLiteral("wizard over ") +
                            (wizard->parentWidget() == main ? "the editor" : "another window");
                connect(wizard, &QObject::destroyed, [&seen] { seen << "wizard closed"; });
                wizard->selectItem(
                    wizard->listItems().indexOf("RealMedia Link with Play List Support"));
                QTimer::singleShot(0, wizard, [wizard, pickPlayList] {
                    (pickPlayList ? wizard->cmdOK : wizard->cmdCancel)->click();
                });
            }
        });
        watcher.start();
        entry->SplashTick();
        frmMain* target = main;
        if (second) {  // New Link in a second window
            main->newAction(1)->trigger();
            target = static_cast<frmMain*>(entry->state().editorWindows().last());
            target->newAction(0)->trigger();
        }
        watcher.stop();
        QCOMPARE(seen.join(", "), events);
        QVERIFY(main->isVisible());
        QCOMPARE(main->isEnabled(), !events.contains("play list behind a dialog"));
        // The wizard fills the window that asked for it; cancelled, it leaves the editor as
        // startup made it.
        QCOMPARE(target->address() + ' ' + linkKindText(target->linkKind()),
                 pickPlayList ? "http:// RM" : "http:// Web");
        QVERIFY(!target->urlChanged());
        QCOMPARE(f.prompts.pendingAnswers(), 0);
        entry.reset();
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
