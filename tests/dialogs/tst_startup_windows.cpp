#include <QPushButton>
#include <QtTest>

#include "DialogFixture.h"
#include "OrvaneE_Class.h"
#include "frmMain.h"
#include "frmStartup.h"
#include "frmTip.h"

// The windows the splash tick opens by the three startup flags, with the real tip window
// and wizard plugged in by the entry routine.
class tst_startup_windows : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { checkNoWindowsLeft(); }

    void splashTick_opensWindowsByFlags_data() {
        QTest::addColumn<QString>("tips");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("wizard");
        QTest::addColumn<QString>("closeTipBy");
        QTest::addColumn<QStringList>("opened");
        const QString ok = QStringLiteral("ok");
        QTest::newRow("nothing") << "0"
                                 << "0"
                                 << "1" << ok << QStringList{};
        QTest::newRow("flags missing")
            << QString() << QString() << QString() << ok << QStringList{};
        QTest::newRow("editor only: modal play list, no wizard")
            << "0"
            << "1"
            << "1" << ok << QStringList{"play list modal"};
        QTest::newRow("tips") << "1"
                              << "0"
                              << "0" << ok << QStringList{"tip", "tip closed"};
        QTest::newRow("tips and wizard")
            << "1"
            << "0"
            << "1" << ok
            << QStringList{"tip", "wizard over the editor", "wizard closed", "tip closed"};
        QTest::newRow("all three") << "1"
                                   << "1"
                                   << "1" << ok
                                   << QStringList{"play list", "tip", "wizard over the editor",
                                                  "wizard closed", "tip closed"};
        QTest::newRow("tip closed by its close box opens no wizard")
            << "1"
            << "0"
            << "1"
            << "close" << QStringList{"tip", "tip closed"};
    }
    void splashTick_opensWindowsByFlags() {
        QFETCH(QString, tips);
        QFETCH(QString, editor);
        QFETCH(QString, wizard);
        QFETCH(QString, closeTipBy);
        QFETCH(QStringList, opened);
        DialogFixture f;
        f.writeFile("tod.dat", "A tip.\r\n");
        const std::pair<QString, QString> flags[] = {{Registry::ShowTipsAtStartup, tips},
                                                     {Registry::ShowStartupWizard, wizard},
                                                     {Registry::ShowEditorAtStartup, editor}};
        for (const auto& [name, value] : flags) {
            if (!value.isNull()) {
                f.backend.setOption(name, value);
            }
        }
        auto entry = std::make_unique<OrvaneE_Class>(f.prompts, f.shell, f.backend, 60000);
        AppState& state = entry->state();
        state.dataDir = f.dir.path();
        state.recentFile = f.dir.filePath("recent.dat");
        QStringList events;
        state.showPlayList = [&](bool modal) {
            events << (modal ? "play list modal" : "play list");
        };
        entry->Main();
        auto* mainEditor = qobject_cast<frmMain*>(state.mainEditor.data());
        QVERIFY(mainEditor != nullptr);
        QVERIFY(!mainEditor->isVisible());

        // Answers each modal window as it comes up: the tip with OK (or its close box), the
        // wizard with Cancel.
        QPointer<frmTip> tip;
        QTimer watcher;
        watcher.setInterval(5);
        connect(&watcher, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* shownTip = qobject_cast<frmTip*>(modal); shownTip && shownTip != tip) {
                tip = shownTip;
                events << "tip";
                connect(shownTip, &QObject::destroyed, [&events] { events << "tip closed"; });
                // Answered from a fresh event, so that this handler has returned by the time
                // the wizard nests its own loop inside the tip's (a timer does not fire
                // again while its own handler is still running).
                QTimer::singleShot(0, shownTip, [shownTip, &closeTipBy] {
                    if (closeTipBy == "ok") {
                        shownTip->cmdOK->click();
                    } else {
                        shownTip->close();
                    }
                });
            } else if (auto* shownWizard = qobject_cast<frmStartup*>(modal)) {
                events << (tip && !tip->isVisible() && shownWizard->parentWidget() == mainEditor
                               ? "wizard over the editor"
                               : "wizard in the wrong place");
                connect(shownWizard, &QObject::destroyed, [&events] { events << "wizard closed"; });
                shownWizard->cmdCancel->click();
            }
        });
        watcher.start();
        entry->SplashTick();
        watcher.stop();
        QVERIFY(mainEditor->isVisible());
        QCOMPARE(events, opened);
        // Cancelling the wizard leaves the editor as phase 1 made it.
        QCOMPARE(mainEditor->address(), QStringLiteral("http://"));
        QVERIFY(!mainEditor->urlChanged());
        entry.reset();
    }
};

QTEST_MAIN(tst_startup_windows)
#include "tst_startup_windows.moc"
