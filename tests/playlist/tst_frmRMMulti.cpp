#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "Fixture.h"
#include "LinkFiles.h"
#include "PlayListModel.h"
#include "PlayListWindows.h"
#include "frmMain.h"
#include "frmRMMulti.h"

namespace {
// "A|B|C" as a list; "" is the empty list.
QStringList list(const QString& text) {
    return text.isEmpty() ? QStringList() : text.split('|');
}
}  // namespace

// What the play-list window does beyond the editors' shared commands (tests/editor).
class tst_frmRMMulti : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;
    std::unique_ptr<QWidget> mainEditor;
    QPointer<frmRMMulti> w;
    std::unique_ptr<QAbstractItemModelTester> tester;

    // A window opened from doc.ram holding `lines`, not changed.
    void make(const QString& lines) {
        w = new frmRMMulti(f->state);
        tester = std::make_unique<QAbstractItemModelTester>(
            w->playList(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(w->openFile(f->write("doc.ram", realMediaBytes(list(lines)))));
    }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        mainEditor = std::make_unique<QWidget>();
        f->state.mainEditor = mainEditor.get();
    }
    void cleanup() {
        tester.reset();
        delete w.data();
        const ScriptedPrompts prompts = f->prompts;
        f.reset();
        checkCleanEnd(prompts);
    }

    // Opening in.ram over a changed window holding A, B and C with B selected (failed reads
    // are the reliability tests' business), then Save As: an empty list saves the box.
    void openThenSaveAs_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("shown");  // entries, then the address box
        QTest::addColumn<QByteArray>("saved");
        using B = QByteArray;
        row("one line", B("rtsp://a/x\r\n"), "rtsp://a/x rtsp://a/x", B("rtsp://a/x\r\n"));
        row("three lines, the last without end", B("X\r\nY\r\nZ"), "X|Y|Z http://",
            B("X\r\nY\r\nZ\r\n"));
        row("line then empty line", B("X\r\n\r\n"), "X| http://", B("X\r\n\r\n"));
        row("empty: the box is saved", B(), " http://", B("http://\r\n"));
    }
    void openThenSaveAs() {
        QFETCH(QByteArray, content);
        QFETCH(QString, shown);
        QFETCH(QByteArray, saved);
        make("A|B|C");
        w->selectEntry(1);
        w->setUrlChanged(true);
        f->write("in.ram", content);
        f->script("No open:in.ram save:out.ram");
        w->fileAction(2)->trigger();
        QCOMPARE(f->prompts.calls.at(1).text, "RaelMedia Link ( *.ram )|*.ram");
        QCOMPARE(w->entries().join('|') + ' ' + w->address(), shown);
        QVERIFY(!w->urlChanged() && w->selectedIndex() == -1);
        QCOMPARE(w->windowTitle(), frmRMMulti::BaseTitle + " - " + f->path("in.ram"));
        w->fileAction(5)->trigger();
        QCOMPARE(f->prompts.calls.last().text, "RealPlayer Link ( *.ram )|*.ram");
        QCOMPARE(f->read("out.ram"), saved);
    }

    // A window with A and B from doc.ram gets C added; the main editor is off while it is
    // open and on again after the user's close or Exit.
    void closing_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("after");
        row("title bar, Yes", "close", "Yes", "closed, editor on, saved");
        row("title bar, Cancel", "close", "Cancel", "open, editor off, kept");
        row("Exit, Cancel: editor on", "exit", "Cancel", "open, editor on, kept");
        row("program close, No", "program", "No", "closed, editor off, kept");
        row("program end, No: asked once", "end", "No", "closed, editor off, kept");
        row("program end, Cancel", "end", "Cancel", "open, editor off, kept");
        row("new link, Yes", "newLink", "Yes", "open, editor off, saved");
    }
    void closing() {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(QString, after);
        make("A|B");
        w->show();
        QVERIFY(!mainEditor->isEnabled());
        w->setAddress("C");
        w->cmdAdd->click();
        f->script(answer);
        const bool closes = after.startsWith("closed");
        if (command == "close") {
            QCOMPARE(closeFromTitleBar(w), closes);
        } else if (command == "program") {
            QCOMPARE(w->close(), closes);
        } else if (command == "end") {  // as the main editor's close asks every editor
            QCOMPARE(f->state.settleAllBeforeExit() && w->close(), closes);
        } else {
            (command == "exit" ? w->fileAction(7) : w->newAction(0))->trigger();
        }
        QCOMPARE(f->prompts.calls.size(), 1);
        QCOMPARE(QStringList({w && w->isVisible() ? "open" : "closed",
                              mainEditor->isEnabled() ? "editor on" : "editor off",
                              f->read("doc.ram") == "A\r\nB\r\nC\r\n" ? "saved" : "kept"})
                     .join(", "),
                 after);
    }

    // One button on a list from doc.ram ("[B]": B selected); the list after, "changed", and
    // "end" where Up or Down had nowhere to go and said "End of the Data".
    void buttons_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after");
        row("add a duplicate", "A", "add", "A|[A] changed");
        row("remove the only entry", "[A]", "remove", " changed");
        row("remove, nothing selected", "A|B", "remove", "A|B");
        row("up from the middle", "A|[B]|C", "up", "[B]|A|C changed");
        row("down from the middle", "A|[B]|C", "down", "A|C|[B] changed");
        row("up at the top", "[A]|B|C", "up", "[A]|B|C end");
        row("down at the bottom", "A|[B]", "down", "A|[B] end");
        row("up on an empty list", "", "up", " end");
        row("down on an empty list", "", "down", " end");
        row("up, nothing selected", "A|B", "up", "A|B");
    }
    void buttons() {
        QFETCH(QString, before);
        QFETCH(QString, button);
        QFETCH(QString, after);
        make(QString(before).remove('[').remove(']'));
        w->setAddress("A");
        w->setUrlChanged(false);
        if (const int selected = list(before).indexOf(QRegularExpression("\\[.*")); selected >= 0) {
            w->selectEntry(selected);
        }
        f->script(after.endsWith("end") ? "Ok" : "");
        QTest::mouseClick(
            w->findChild<QPushButton*>("cmd" + button.left(1).toUpper() + button.mid(1)),
            Qt::LeftButton);
        QStringList entries = w->entries();
        if (w->selectedIndex() >= 0) {
            entries[w->selectedIndex()] = '[' + entries[w->selectedIndex()] + ']';
        }
        const QString said = f->prompts.calls.isEmpty() ? "" : " end";
        QCOMPARE(entries.join('|') + (w->urlChanged() ? " changed" : "") + said, after);
        if (!said.isEmpty()) {
            const ScriptedPrompts::Call& call = f->prompts.calls.first();
            QCOMPARE(call.text + "/" + call.title, "End of the Data/Orvane Editor");
            QCOMPARE(call.icon, Prompts::Icon::None);
        }
    }

    // The single-link editor's reader fills the shared window, appending to what it holds,
    // and a close from the title bar turns the editor on again.
    void sharedWindow_filledByReader() {
        PlayListWindows windows(f->state);
        auto editor = std::make_unique<frmMain>(f->state);
        f->state.mainEditor = editor.get();
        const QString three = f->write("three.ram", "A\r\nB\r\nC\r\n");
        windows.send({"A", "B", "C"}, three);
        frmRMMulti* window = windows.window();
        QVERIFY(window && window->isVisible() && !window->urlChanged());
        QVERIFY(!editor->isEnabled());
        windows.send({"D"}, f->path("other.ram"));
        QCOMPARE(window->entries(), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(window->documentPath(), three);
        window->setUrlChanged(false);
        QVERIFY(closeFromTitleBar(window));
        QVERIFY(editor->isEnabled());
        QCOMPARE(windows.window(), nullptr);
    }
};

QTEST_MAIN(tst_frmRMMulti)
#include "tst_frmRMMulti.moc"
