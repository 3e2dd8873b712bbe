#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

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
std::unique_ptr<OrvaneE_Class> start(Fixture& f, const QString& flags, int splashMs = 60000) {
    const QString names[] = {Registry::ShowTipsAtStartup, Registry::ShowEditorAtStartup,
                             Registry::ShowStartupWizard};
    for (int i = 0; i < 3; ++i) {
        if (flags[i] != QLatin1Char('-')) {
            f.backend.setOption(names[i], flags.mid(i, 1));
        }
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

    // "Default Link" is matched exactly and replaced when unknown; "Version" is written only
    // when missing or empty. The splash shows, then its tick shows the main editor.
    void main_appliesAndSeedsSettings_data() {
        QTest::addColumn<QString>("defaultLink");  // stored before the start; null: missing
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("address");  // of the hidden main editor
        QTest::addColumn<QString>("stored");   // Default Link and Version afterwards
        row("first run", QString(), QString(), "http://", "HTTP 1.0.0");
        row("http lower case", "http", "1.0.0", "http://", "HTTP 1.0.0");
        row("other Version kept", "HTTP", "0.9.7", "http://", "HTTP 0.9.7");
        row("empty Version written", "HTTP", "", "http://", "HTTP 1.0.0");
    }
    void main_appliesAndSeedsSettings() {
        QFETCH(QString, defaultLink);
        QFETCH(QString, version);
        QFETCH(QString, address);
        QFETCH(QString, stored);
        Fixture f;
        if (!defaultLink.isNull()) {
            f.backend.setOption(Registry::DefaultLink, defaultLink);
        }
        if (!version.isNull()) {
            f.backend.write(Registry::ProductKey, Registry::Version, version);
        }
        auto entry = start(f, "---", 0);
        frmMain* main = entry->windows().mainEditor();
        QVERIFY(main && !main->isVisible());
        QCOMPARE(main->address() + ' ' + linkKindText(main->linkKind()), address + " Web");
        QVERIFY(!main->urlChanged());
        QCOMPARE(f.registry.option(Registry::DefaultLink).value_or("") + ' ' +
                     f.registry
                         .GetSettingText(Registry::Root::LocalMachine, Registry::ProductKey,
                                         Registry::Version)
                         .value_or(""),
                 stored);
        QVERIFY(entry->splash()->isVisible());
        QTRY_VERIFY(main->isVisible());  // the injected delay is 0 ms
        QVERIFY(entry->splash() == nullptr || !entry->splash()->isVisible());
        QCOMPARE(main->noForm(), 0);
        entry.reset();
        QCOMPARE(f.prompts.calls.size(), 0);
    }

    // The windows opened by the splash tick (by the three flags) and after it (by New Link
    // in the main editor or in a second window), in the order they open and close. The tip
    // is closed by OK or its close box; the wizard cancelled or given the play list, which
    // must then come up in front and usable: an entry is typed, added, and the window closed.
    void windowsAfterSplash_data() {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<bool>("tipByOk");
        QTest::addColumn<bool>("pickPlayList");
        QTest::addColumn<QString>("from");  // splash, editor, second
        QTest::addColumn<QStringList>("events");
        const QString usable = QStringLiteral("play list usable: http://x");
        row("wizard alone opens nothing", "001", true, false, "splash", QStringList());
        row("editor only: play list waited for", "011", true, false, "splash", QStringList{usable});
        row("tips and wizard", "101", true, false, "splash",
            QStringList{"tip", "wizard over the editor", "wizard closed", "tip closed"});
        row("all three", "111", true, false, "splash",
            QStringList{"play list behind a dialog", "tip", "wizard over the editor",
                        "wizard closed", "tip closed"});
        row("tip closed by its close box opens no wizard", "101", false, false, "splash",
            QStringList{"tip", "tip closed"});
        row("wizard's play list at startup", "101", true, true, "splash",
            QStringList{"tip", "wizard over the editor", usable, "wizard closed", "tip closed"});
        row("wizard's play list by New Link", "000", true, true, "editor",
            QStringList{"wizard over the editor", usable, "wizard closed"});
        row("wizard's play list from a second window", "000", true, true, "second",
            QStringList{"wizard over another window", usable, "wizard closed"});
    }
    void windowsAfterSplash() {
        QFETCH(QString, flags);
        QFETCH(bool, tipByOk);
        QFETCH(bool, pickPlayList);
        QFETCH(QString, from);
        QFETCH(QStringList, events);
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
                seen << QStringLiteral("wizard over ") + (wizard->parentWidget() != main
                                                              ? "another window"
                                                          : tip && tip->isVisible() ? "the tip"
                                                                                    : "the editor");
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
        if (from != "splash") {
            if (from == "second") {
                main->newAction(1)->trigger();
                target = static_cast<frmMain*>(entry->state().editorWindows().last());
            }
            target->newAction(0)->trigger();
        }
        watcher.stop();
        QCOMPARE(seen, events);
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
