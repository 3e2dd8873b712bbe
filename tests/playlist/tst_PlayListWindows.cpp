#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>

#include "PlayListFixture.h"
#include "PlayListWindows.h"
#include "frmMain.h"
#include "frmRMMulti.h"

// The one shared play-list window behind AppState's hand-overs.
class tst_PlayListWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<PlayListFixture> f;
    std::shared_ptr<PlayListWindows> windows;

private slots:
    void init() {
        f = std::make_unique<PlayListFixture>();
        windows = installPlayList(f->state);
    }
    void cleanup() {
        QCOMPARE(f->prompts.pendingAnswers(), 0);
        if (frmRMMulti* window = windows->window()) {
            f->prompts.answerMessage(Prompts::Answer::No);
            window->close();
        }
        f->state.showPlayList = nullptr;
        f->state.sendToPlayList = nullptr;
        windows.reset();
        f.reset();
        QCOMPARE(remainingWindows(), QWidgetList());
    }

    void send_toFreshOrUsedWindow_takesFileOrAppends_data() {
        QTest::addColumn<QString>("before");  // what the shared window holds first
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("changed");
        const QString base = "RealMedia Link Editor";
        QTest::newRow("no window yet: the file becomes its document")
            << "none" << QStringList{"A", "B"} << base + " - %1" << false;
        QTest::newRow("empty untitled window takes the file too")
            << "shown" << QStringList{"A", "B"} << base + " - %1" << false;
        QTest::newRow("window with entries: appended, title and flag kept")
            << "entries" << QStringList{"X", "A", "B"} << base << true;
        QTest::newRow("window with a file: appended after its entries")
            << "file" << QStringList{"P", "Q", "A", "B"} << base + " - %2" << false;
        QTest::newRow("second file appended after the first")
            << "sent" << QStringList{"A", "B", "A", "B"} << base + " - %1" << false;
    }
    void send_toFreshOrUsedWindow_takesFileOrAppends() {
        QFETCH(QString, before);
        QFETCH(QStringList, entries);
        QFETCH(QString, title);
        QFETCH(bool, changed);
        const QString sent = f->path("sent.ram");
        const QString own = f->write("own.ram", "P\r\nQ\r\n");
        if (before != "none") {
            f->state.showPlayList(false);
        }
        frmRMMulti* shown = windows->window();
        if (before == "entries") {
            shown->txtURL->setText("X");
            shown->cmdAdd_Click();
        } else if (before == "file") {
            QVERIFY(shown->openFile(own));
        } else if (before == "sent") {
            f->state.sendToPlayList({"A", "B"}, sent);
        }
        f->state.sendToPlayList({"A", "B"}, sent);
        frmRMMulti* window = windows->window();
        QVERIFY(window && window->isVisible());
        QVERIFY(!shown || window == shown);
        QCOMPARE(window->entries(), entries);
        QCOMPARE(window->windowTitle(), QString(title).replace("%1", sent).replace("%2", own));
        QCOMPARE(window->urlChanged(), changed);
        QVERIFY(!f->mainEditor->isEnabled());
    }

    void send_nothing_makesNoWindow() {
        f->state.sendToPlayList({}, f->path("empty.ram"));
        QCOMPARE(windows->window(), nullptr);
        QVERIFY(f->mainEditor->isEnabled());
    }

    void showModal_waitsUntilClosed_thenMakesAFreshWindow() {
        QPointer<frmRMMulti> seen;
        bool visibleWhileWaiting = false;
        QTimer::singleShot(0, [&] {
            seen = windows->window();
            visibleWhileWaiting = seen && seen->isVisible();
            seen->txtURL->setText("rtsp://typed");
            f->prompts.answerMessage(Prompts::Answer::No);
            QVERIFY(closeFromTitleBar(seen));
        });
        f->state.showPlayList(true);
        // Back here only once the window has closed: it asked, and the editor is on again.
        QVERIFY(visibleWhileWaiting);
        QCOMPARE(windows->window(), nullptr);
        QVERIFY(f->mainEditor->isEnabled());
        QCOMPARE(f->prompts.calls.size(), 1);
        QTRY_VERIFY(seen.isNull());

        f->state.showPlayList(false);
        QVERIFY(windows->window() && windows->window()->isVisible());
        QCOMPARE(windows->window()->txtURL->text(), "http://");
        QVERIFY(!f->mainEditor->isEnabled());
    }

    void showModal_onAnOpenWindow_waitsForThatWindow() {
        f->state.showPlayList(false);
        frmRMMulti* window = windows->window();
        QTimer::singleShot(0, window, [window] { window->fileAction(7)->trigger(); });
        f->state.showPlayList(true);
        QCOMPARE(windows->window(), nullptr);
        QVERIFY(f->mainEditor->isEnabled());
    }

    // The real single-link editor as the main window: its reader hands multi-line files over
    // and "With Play List" waits for the shared window.
    void singleLinkEditor_readerFillsSharedWindow_andWithPlayListWaits() {
        auto editor = std::make_unique<frmMain>(f->state);
        f->mainEditor.reset();
        f->state.mainEditor = editor.get();
        editor->show();
        const QString three = f->write("three.ram", "A\r\nB\r\nC\r\n");
        QVERIFY(editor->openFile(three));
        frmRMMulti* window = windows->window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->documentPath(), three);
        QVERIFY(!window->urlChanged());
        QVERIFY(!editor->isEnabled());
        QCOMPARE(editor->windowTitle(), "Orvane Editor");
        editor->Open_RMLinkFile(f->write("two.ram", "D\r\nE\r\n"));
        QCOMPARE(window->entries(), (QStringList{"A", "B", "C", "D", "E"}));
        QCOMPARE(window->documentPath(), three);
        QVERIFY(closeFromTitleBar(window));
        QVERIFY(editor->isEnabled());

        bool waited = false;
        QTimer::singleShot(0, [&] {
            waited = windows->window() && !editor->isEnabled();
            windows->window()->fileAction(7)->trigger();
        });
        editor->playListAction(0)->trigger();
        QVERIFY(waited);
        QVERIFY(editor->isEnabled());
        QCOMPARE(windows->window(), nullptr);
        editor.reset();
    }

    void editorWindows_listTheSharedWindowForTheEndQuestion() {
        f->state.showPlayList(false);
        frmRMMulti* window = windows->window();
        QCOMPARE(f->state.editorWindows(), QList<QWidget*>{window});
        window->txtURL->setText("rtsp://typed");
        f->prompts.answerMessage(Prompts::Answer::Cancel);
        QVERIFY(!f->state.settleAllBeforeExit());
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(tst_PlayListWindows)
#include "tst_PlayListWindows.moc"
