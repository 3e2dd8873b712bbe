#include <QPushButton>
#include <QtTest>

#include "DialogFixture.h"
#include "OrvaneE_Class.h"
#include "frmMain.h"
#include "frmStartup.h"
#include "frmTip.h"

// The windows the splash tick opens by the three startup flags, with the real tip window
// and wizard plugged in by the entry routine, and the order in which they nest.
class tst_startup_windows : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { checkNoWindowsLeft(); }

    void splashTick_opensWindowsByFlags_data() {
        QTest::addColumn<QString>("flags");  // tips, editor, wizard: "0", "1" or "-" missing
        QTest::addColumn<bool>("tipByOk");   // else by its close box
        QTest::addColumn<QStringList>("opened");
        const QStringList tip{"tip", "tip closed"};
        const QStringList tipAndWizard{"tip", "wizard over the editor", "wizard closed",
                                       "tip closed"};
        QTest::newRow("wizard alone opens nothing") << "001" << true << QStringList{};
        QTest::newRow("flags missing") << "---" << true << QStringList{};
        QTest::newRow("editor only: modal play list")
            << "011" << true << QStringList{"play list modal"};
        QTest::newRow("tips without wizard") << "100" << true << tip;
        QTest::newRow("tips and wizard") << "101" << true << tipAndWizard;
        QTest::newRow("all three") << "111" << true << QStringList{"play list"} + tipAndWizard;
        QTest::newRow("tip closed by its close box opens no wizard") << "101" << false << tip;
    }
    void splashTick_opensWindowsByFlags() {
        QFETCH(QString, flags);
        QFETCH(bool, tipByOk);
        QFETCH(QStringList, opened);
        DialogFixture f;
        f.writeFile("tod.dat", "A tip.\r\n");
        const QString names[] = {Registry::ShowTipsAtStartup, Registry::ShowEditorAtStartup,
                                 Registry::ShowStartupWizard};
        for (int i = 0; i < 3; ++i) {
            if (flags[i] != QLatin1Char('-')) {
                f.backend.setOption(names[i], flags.mid(i, 1));
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
        QVERIFY(mainEditor && !mainEditor->isVisible());

        // Answers each modal window as it comes up: the tip with OK or its close box, the
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
                // From a fresh event, so that this handler has returned before the wizard
                // nests its own loop inside the tip's.
                QTimer::singleShot(0, shownTip, [shownTip, tipByOk] {
                    if (tipByOk) {
                        shownTip->cmdOK->click();
                    } else {
                        shownTip->close();
                    }
                });
            } else if (auto* wizard = qobject_cast<frmStartup*>(modal)) {
                const bool placed =
                    tip && !tip->isVisible() && wizard->parentWidget() == mainEditor;
                events << (placed ? "wizard over the editor" : "wizard in the wrong place");
                connect(wizard, &QObject::destroyed, [&events] { events << "wizard closed"; });
                wizard->cmdCancel->click();
            }
        });
        watcher.start();
        entry->SplashTick();
        watcher.stop();
        QVERIFY(mainEditor->isVisible());
        QCOMPARE(events, opened);
        // Cancelling the wizard leaves the editor as startup made it.
        QCOMPARE(mainEditor->address(), QStringLiteral("http://"));
        QVERIFY(!mainEditor->urlChanged());
    }
};

QTEST_MAIN(tst_startup_windows)
#include "tst_startup_windows.moc"
