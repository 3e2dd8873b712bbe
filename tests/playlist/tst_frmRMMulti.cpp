#include <QAbstractItemModelTester>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest/QTest>

#include "AppState.h"
#include "IniSettingsBackend.h"
#include "LinkFiles.h"
#include "PlayListModel.h"
#include "PlayListWindows.h"
#include "RecordingShell.h"
#include "Registry.h"
#include "ScriptedPrompts.h"
#include "frmMain.h"
#include "frmRMMulti.h"

namespace {
// A temporary folder, scripted prompts, the shared state and a stand-in for the main editor.
struct Fixture {
    QTemporaryDir dir;
    IniSettingsBackend backend{dir.filePath("user.conf"), dir.filePath("system.conf")};
    Registry registry{backend};
    ScriptedPrompts prompts;
    RecordingShell shell;
    AppState state{prompts, shell, registry};
    std::unique_ptr<QWidget> mainEditor = std::make_unique<QWidget>();

    Fixture() {
        state.recentFile = path("recent.dat");
        state.mainEditor = mainEditor.get();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QByteArray bytes(const QString& file) const {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    QString write(const QString& name, const QByteArray& content) const {
        QFile out(path(name));
        if (out.open(QIODevice::WriteOnly)) {
            out.write(content);
        }
        return path(name);
    }
};
// A close from the title bar: the window system's close event, a spontaneous one.
bool closeFromTitleBar(QWidget* window) {
    window->show();
    QCloseEvent event;
    QApplication::sendEvent(window->windowHandle(), &event);
    return event.isAccepted();
}
// "A|B|C" as a list; "" is the empty list.
QStringList list(const QString& text) {
    return text.isEmpty() ? QStringList() : text.split('|');
}
struct Command {
    bool titled;
    QString command, steps;
    bool stillOpen, editorOn;
    QByteArray written;
    QString entries, box;
};
struct Press {
    QString start;
    int selected;
    QString box, button, entries;
    int selectedAfter;
    bool endOfData, changed;
};
}  // namespace
Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Press)

class tst_frmRMMulti : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    std::unique_ptr<frmRMMulti> w;
    std::unique_ptr<QAbstractItemModelTester> tester;

    void make() {
        w = std::make_unique<frmRMMulti>(f->state);
        tester = std::make_unique<QAbstractItemModelTester>(
            w->playList(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    // A window holding `lines`, opened from doc.ram: titled and not changed.
    void makeWith(const QStringList& lines) {
        make();
        w->openFile(f->write("doc.ram", realMediaBytes(lines)));
    }
    void add(const QString& text) {
        w->txtURL->setText(text);
        w->cmdAdd->click();
    }
    // Queues answers, blank-separated: Yes, No, Cancel, Ok, save:<name>, open:<name> (no
    // name: the dialog is cancelled).
    void script(const QString& steps) {
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            const QString name = step.section(':', 1);
            const QString path = name.isEmpty() ? QString() : f->path(name);
            if (step.startsWith("save:")) {
                f->prompts.answerSave(path);
            } else if (step.startsWith("open:")) {
                f->prompts.answerOpen(path);
            } else {
                using A = Prompts::Answer;
                f->prompts.answerMessage(step == "Yes"  ? A::Yes
                                         : step == "No" ? A::No
                                         : step == "Ok" ? A::Ok
                                                        : A::Cancel);
            }
        }
    }

private slots:
    void init() { f = std::make_unique<Fixture>(); }
    void cleanup() {
        QCOMPARE(f->prompts.pendingAnswers(), 0);
        tester.reset();
        w.reset();
        f.reset();  // takes the shared play-list window with it
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
    }

    // Opening over a changed window holding A, B and C from doc.ram.
    void open_readsLinesOrReportsAndKeepsWindow_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("box");
        const QByteArray none;
        // clang-format off
        QTest::newRow("one line") << "file" << QByteArray("rtsp://a/x.rm\r\n") << "rtsp://a/x.rm" << "rtsp://a/x.rm";
        QTest::newRow("three lines") << "file" << QByteArray("X\r\nY\r\nZ\r\n") << "X|Y|Z" << "http://";
        QTest::newRow("empty file") << "file" << none << "" << "http://";
        QTest::newRow("line then empty line") << "file" << QByteArray("X\r\n\r\n") << "X|" << "http://";
        QTest::newRow("missing") << "missing" << none << "A|B|C" << "C";
        QTest::newRow("folder") << "folder" << none << "A|B|C" << "C";
        QTest::newRow("binary with a NUL byte") << "bad" << QByteArray("X\r\n\0Y\r\n", 7) << "A|B|C" << "C";
        QTest::newRow("over the size cap") << "huge" << none << "A|B|C" << "C";
        // clang-format on
    }
    void open_readsLinesOrReportsAndKeepsWindow() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(QString, entries);
        QFETCH(QString, box);
        const QString path = f->path("in.ram");
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "huge") {
            QFile huge(path);
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(linkFileSizeCap + 1));
        } else if (kind != "missing") {
            f->write("in.ram", content);
        }
        makeWith({"A", "B"});
        add("C");
        const bool readable = kind == "file";
        script(readable ? "No open:in.ram" : "No open:in.ram Ok");
        w->fileAction(2)->trigger();
        QCOMPARE(f->prompts.calls.size(), readable ? 2 : 3);
        QCOMPARE(f->prompts.calls.at(1).text, "RaelMedia Link ( *.ram )|*.ram");
        QCOMPARE(w->entries(), list(entries));
        QCOMPARE(w->txtURL->text(), box);
        QCOMPARE(w->windowTitle(),
                 "RealMedia Link Editor - " + (readable ? path : f->path("doc.ram")));
        QCOMPARE(w->urlChanged(), !readable);
        QCOMPARE(w->selectedIndex(), readable ? -1 : 2);
        if (!readable) {
            const ScriptedPrompts::Call& report = f->prompts.calls.last();
            QVERIFY2(report.text.contains(path), qPrintable(report.text));
            QCOMPARE(report.icon, Prompts::Icon::Critical);
        }
    }

    // Titled windows hold A and B from doc.ram; untitled ones are named in the save dialog.
    // No expected bytes: the save must fail.
    void save_writesExactBytesOrReportsFailure_data() {
        QTest::addColumn<bool>("titled");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray fails;
        // clang-format off
        QTest::newRow("untitled, three entries") << false << "A|B|C" << "C" << "out.ram" << QByteArray("A\r\nB\r\nC\r\n");
        QTest::newRow("untitled, empty list: the box is the line") << false << "" << "http://" << "out.ram" << QByteArray("http://\r\n");
        QTest::newRow("untitled, empty list and box") << false << "" << "" << "out.ram" << QByteArray("\r\n");
        QTest::newRow("untitled, empty entry") << false << "A|" << "x" << "out.ram" << QByteArray("A\r\n\r\n");
        QTest::newRow("titled: rewritten without a dialog") << true << "C" << "x" << "doc.ram" << QByteArray("A\r\nB\r\nC\r\n");
        QTest::newRow("untitled into a missing folder") << false << "C" << "C" << "no/out.ram" << fails;
        QTest::newRow("titled, its file became a folder") << true << "C" << "C" << "doc.ram" << fails;
        // clang-format on
    }
    void save_writesExactBytesOrReportsFailure() {
        QFETCH(bool, titled);
        QFETCH(QString, added);
        QFETCH(QString, box);
        QFETCH(QString, target);
        QFETCH(QByteArray, expected);
        titled ? makeWith({"A", "B"}) : make();
        for (const QString& entry : list(added)) {
            add(entry);
        }
        w->txtURL->setText(box);
        const QString title = w->windowTitle();
        const QString path = f->path(target);
        const bool fails = expected.isEmpty();
        if (fails && titled) {
            QFile::remove(path);
            QVERIFY(QDir().mkpath(path));
        }
        script((titled ? QString() : "save:" + target) + (fails ? " Ok" : ""));
        w->fileAction(4)->trigger();
        QCOMPARE(f->prompts.calls.size(), int(!titled) + int(fails));
        QCOMPARE(w->urlChanged(), fails);
        const bool recent = !titled && !fails;
        QCOMPARE(f->bytes(f->state.recentFile), recent ? path.toUtf8() + "\r\n" : QByteArray());
        if (!titled) {
            QCOMPARE(f->prompts.calls.first().text, "RealPlayer Link ( *.ram )|*.ram");
        }
        if (fails) {
            QVERIFY(f->prompts.calls.last().text.contains(path));
            QCOMPARE(f->prompts.calls.last().icon, Prompts::Icon::Critical);
            QCOMPARE(w->windowTitle(), title);
        } else {
            QCOMPARE(f->bytes(path), expected);
            QCOMPARE(w->windowTitle(), "RealMedia Link Editor - " + path);
        }
    }

    // Each row: a window with A and B (titled: from doc.ram) gets C added, then the command
    // runs and the prompts are answered; out.ram or doc.ram then holds `written`.
    void commands_followTheUnsavedChangesPrompt_data() {
        QTest::addColumn<Command>("row");
        const QByteArray none, before("A\r\nB\r\n"), after("A\r\nB\r\nC\r\n");
        const QList<std::pair<const char*, Command>> rows{
            // clang-format off
            {"close untitled, Yes, save as", {false, "close", "Yes save:out.ram", false, true, "C\r\n", "C", "C"}},
            {"close untitled, Yes, dialog cancelled", {false, "close", "Yes save:", true, false, none, "C", "C"}},
            {"close untitled, Yes, save fails", {false, "close", "Yes save:no/out.ram Ok", true, false, none, "C", "C"}},
            {"close titled, Yes, file rewritten", {true, "close", "Yes", false, true, after, "A|B|C", "C"}},
            {"close, No", {true, "close", "No", false, true, before, "A|B|C", "C"}},
            {"close, Cancel", {true, "close", "Cancel", true, false, before, "A|B|C", "C"}},
            {"exit, No", {true, "exit", "No", false, true, before, "A|B|C", "C"}},
            {"exit, Cancel: open, editor on", {true, "exit", "Cancel", true, true, before, "A|B|C", "C"}},
            {"program close, No: editor off", {true, "programClose", "No", false, false, before, "A|B|C", "C"}},
            {"program end, No: its close asks no more", {true, "end", "No", false, false, before, "A|B|C", "C"}},
            {"program end, Cancel", {true, "end", "Cancel", true, false, before, "A|B|C", "C"}},
            {"program end, Yes, dialog cancelled", {false, "end", "Yes save:", true, false, none, "C", "C"}},
            {"open, No, dialog cancelled", {true, "open", "No open:", true, false, before, "A|B|C", "C"}},
            {"open, Yes: saved, then opened", {true, "open", "Yes open:other.ram", true, false, after, "Z", "Z"}},
            {"open, Yes, save cancelled: no open", {false, "open", "Yes save:", true, false, none, "C", "C"}},
            {"open local, No", {true, "openLocal", "No open:clip.mp3", true, false, before, "A|B|C", "file://%1/clip.mp3"}},
            {"new link, Yes", {true, "newLink", "Yes", true, false, after, "A|B|C", "http://"}},
            // clang-format on
        };
        for (const auto& [name, row] : rows) {
            QTest::newRow(name) << row;
        }
    }
    void commands_followTheUnsavedChangesPrompt() {
        QFETCH(Command, row);
        const auto& [titled, command, steps, stillOpen, editorOn, written, entries, box] = row;
        f->write("other.ram", "Z\r\n");
        titled ? makeWith({"A", "B"}) : make();
        w->show();
        add("C");
        script(steps);
        if (command == "close") {
            QCOMPARE(closeFromTitleBar(w.get()), !stillOpen);
        } else if (command == "programClose") {
            QCOMPARE(w->close(), !stillOpen);
        } else if (command == "end") {  // as the main editor's close asks every editor window
            if (f->state.settleAllBeforeExit()) {
                QVERIFY(w->close());
            }
        } else {
            (command == "exit"        ? w->fileAction(7)
             : command == "open"      ? w->fileAction(2)
             : command == "openLocal" ? w->fileAction(3)
                                      : w->newAction(0))
                ->trigger();
        }
        QCOMPARE(f->prompts.calls.size(), steps.count(' ') + 1);  // asked once, every step used
        const ScriptedPrompts::Call& question = f->prompts.calls.first();
        QCOMPARE(question.text, "You have not yet saved your link. Do you want to save it now ?");
        QCOMPARE(question.title, "Orvane Editor");
        QCOMPARE(question.icon, Prompts::Icon::Question);
        QCOMPARE(question.buttons, Prompts::Buttons::YesNoCancel);
        QCOMPARE(w->isVisible(), stillOpen);
        QCOMPARE(f->mainEditor->isEnabled(), editorOn);
        QCOMPARE(f->bytes(f->path(titled ? "doc.ram" : "out.ram")), written);
        QCOMPARE(w->entries(), list(entries));
        QCOMPARE(w->txtURL->text(), box.contains("%1") ? box.arg(f->dir.path()) : box);
    }

    // The window starts clean with `start`; `box` (unless "-") is typed into the address box.
    void buttons_editTheList_data() {
        QTest::addColumn<Press>("row");
        const QList<std::pair<const char*, Press>> rows{
            // clang-format off
            {"add a duplicate of the box's one entry", {"A", -1, "-", "add", "A|A", 1, false, true}},
            {"add empty text", {"A|B", -1, "", "add", "A|B|", 2, false, true}},
            {"remove the only entry", {"A", 0, "-", "remove", "", -1, false, true}},
            {"remove, nothing selected", {"A|B|C", -1, "-", "remove", "A|B|C", -1, false, false}},
            {"remove on an empty list", {"", -1, "-", "remove", "", -1, false, false}},
            {"up from the middle", {"A|B|C", 1, "-", "up", "B|A|C", 0, false, true}},
            {"down from the middle", {"A|B|C", 1, "-", "down", "A|C|B", 2, false, true}},
            {"down between equal entries", {"A|A|B", 0, "-", "down", "A|A|B", 1, false, true}},
            {"up at the top", {"A|B|C", 0, "-", "up", "A|B|C", 0, true, false}},
            {"down at the bottom", {"A|B|C", 2, "-", "down", "A|B|C", 2, true, false}},
            {"up on an empty list", {"", -1, "-", "up", "", -1, true, false}},
            {"down on an empty list", {"", -1, "-", "down", "", -1, true, false}},
            {"up, nothing selected", {"A|B|C", -1, "-", "up", "A|B|C", -1, false, false}},
            // clang-format on
        };
        for (const auto& [name, row] : rows) {
            QTest::newRow(name) << row;
        }
    }
    void buttons_editTheList() {
        QFETCH(Press, row);
        const auto& [start, selected, box, button, entries, selectedAfter, endOfData, changed] =
            row;
        makeWith(list(start));
        if (selected >= 0) {
            w->selectEntry(selected);
        }
        if (box != "-") {
            w->txtURL->setText(box);
        }
        script(endOfData ? "Ok" : "");
        QTest::mouseClick(button == "add"      ? w->cmdAdd
                          : button == "remove" ? w->cmdRemove
                          : button == "up"     ? w->cmdUp
                                               : w->cmdDown,
                          Qt::LeftButton);
        QCOMPARE(w->entries(), list(entries));
        QCOMPARE(w->selectedIndex(), selectedAfter);
        QCOMPARE(w->urlChanged(), changed);  // a move changes what the file holds
        QCOMPARE(f->prompts.calls.size(), endOfData ? 1 : 0);
        if (endOfData) {
            const ScriptedPrompts::Call& call = f->prompts.calls.first();
            QCOMPARE(call.text + "/" + call.title, "End of the Data/Orvane Editor");
            QCOMPARE(call.icon, Prompts::Icon::None);
            QCOMPARE(call.buttons, Prompts::Buttons::Ok);
        }
    }

    // The real single-link editor as the main window: its reader hands multi-line files to
    // the shared window, appending to what it holds, and "With Play List" waits for it.
    void singleLinkEditor_readerFillsSharedWindow_andWithPlayListWaits() {
        const auto windows = installPlayList(f->state);
        auto editor = std::make_unique<frmMain>(f->state);
        f->state.mainEditor = editor.get();
        editor->show();
        const QString three = f->write("three.ram", "A\r\nB\r\nC\r\n");
        QVERIFY(editor->openFile(three));
        frmRMMulti* window = windows->window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->documentPath(), three);
        QVERIFY(!window->urlChanged());
        QVERIFY(!editor->isEnabled());
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
    }

    // 100,000 entries open, move and save without stalling the window; prints the times.
    void hundredThousandEntries_openMoveAndSaveQuickly() {
#if defined(__SANITIZE_ADDRESS__)
        constexpr qint64 slowdown = 10;
#else
        constexpr qint64 slowdown = 1;
#endif
        QStringList lines;
        for (int i = 0; i < 100000; ++i) {
            lines.append(QStringLiteral("rtsp://media.example.com/live/stream%1.rm").arg(i));
        }
        frmRMMulti window(f->state);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(window.openFile(f->write("big.ram", realMediaBytes(lines))));
        window.selectEntry(50000);
        window.grab();  // lays out and paints the view
        const qint64 openMs = clock.restart();
        for (int i = 0; i < 1000; ++i) {
            i < 500 ? window.cmdUp_Click() : window.cmdDown_Click();
            QCoreApplication::processEvents();
        }
        window.grab();
        const qint64 moveMs = clock.restart();
        QCOMPARE(window.selectedIndex(), 50000);
        f->prompts.answerSave(f->path("saved.ram"));
        window.fileAction(5)->trigger();
        const qint64 saveMs = clock.elapsed();
        QCOMPARE(f->bytes(f->path("saved.ram")), realMediaBytes(lines));
        qInfo(
            "100,000 entries: open and fill the view %lld ms, 1,000 Up/Down moves %lld ms, "
            "save %lld ms",
            openMs, moveMs, saveMs);
        QVERIFY2(openMs < 500 * slowdown, "opening stalls the window");
        // A relayout of every row on each move (some 13 ms apiece at this size) fails this.
        QVERIFY2(moveMs < 6000 * slowdown, "moving entries stalls the window");
        QVERIFY2(saveMs < 500 * slowdown, "saving stalls the window");
    }
};

QTEST_MAIN(tst_frmRMMulti)
#include "tst_frmRMMulti.moc"
