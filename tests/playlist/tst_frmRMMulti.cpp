#include "Fixture.h"
#include "LinkFiles.h"
#include "PlayListModel.h"
#include "PlayListWindows.h"
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
        const int pending = f->prompts.pendingAnswers();
        f.reset();
        checkCleanEnd(pending);
    }

    // Opening in.ram over a changed window holding A, B and C with B selected (failed reads
    // are the reliability tests' business), then Save As: an empty list saves the box.
    // Shown: the entries, then the address box.
    void openThenSaveAs_data() {
        columns<QByteArray, QString, QByteArray>("content", "shown", "saved");
        using B = QByteArray;
        row("one line", B("rtsp://a/x\r\n"), "rtsp://a/x rtsp://a/x", B("rtsp://a/x\r\n"));
        row("two lines", B("X\r\nY\r\n"), "X|Y http://", B("X\r\nY\r\n"));
        row("empty: the box is saved", B(""), " http://", B("http://\r\n"));
    }
    void openThenSaveAs() {
        auto [content, shown, saved] =
            fetch<QByteArray, QString, QByteArray>("content", "shown", "saved");
        make("A|B|C");
        w->selectEntry(1);
        w->setUrlChanged(true);
        f->write("in.ram", content);
        f->script("No open:in.ram save:out.ram");
        w->fileAction(2)->trigger();
        QCOMPARE(f->prompts.calls.value(1).text, "RaelMedia Link ( *.ram )|*.ram");
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
        columns<QString, QString, QString>("command", "answer", "after");
        row("title bar, Yes", "close", "Yes", "closed, editor on, saved");
        row("Exit, Cancel: editor on", "exit", "Cancel", "open, editor on, kept");
        row("program close, No", "program", "No", "closed, editor off, kept");
        row("program end, No: asked once", "end", "No", "closed, editor off, kept");
        row("program end, Cancel", "end", "Cancel", "open, editor off, kept");
        row("new link, Yes", "newLink", "Yes", "open, editor off, saved");
    }
    void closing() {
        auto [command, answer, after] =
            fetch<QString, QString, QString>("command", "answer", "after");
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
        columns<QString, QString, QString>("before", "button", "after");
        row("add a duplicate", "A", "Add", "A|[A] changed");
        row("remove the only entry", "[A]", "Remove", " changed");
        row("remove, nothing selected", "A|B", "Remove", "A|B");
        row("up from the middle", "A|[B]|C", "Up", "[B]|A|C changed");
        row("down from the middle", "A|[B]|C", "Down", "A|C|[B] changed");
        row("up at the top", "[A]|B|C", "Up", "[A]|B|C end");
        row("down at the bottom", "A|[B]", "Down", "A|[B] end");
        row("down on an empty list", "", "Down", " end");
    }
    void buttons() {
        auto [before, button, after] =
            fetch<QString, QString, QString>("before", "button", "after");
        make(QString(before).remove('[').remove(']'));
        w->setAddress("A");
        w->setUrlChanged(false);
        if (const int selected = list(before).indexOf(QRegularExpression("\\[.*")); selected >= 0) {
            w->selectEntry(selected);
        }
        f->script(after.endsWith("end") ? "Ok" : "");
        QTest::mouseClick(w->findChild<QPushButton*>("cmd" + button), Qt::LeftButton);
        QStringList entries = w->entries();
        if (w->selectedIndex() >= 0) {
            entries[w->selectedIndex()] = '[' + entries[w->selectedIndex()] + ']';
        }
        const ScriptedPrompts::Call said = f->prompts.calls.value(0);
        QCOMPARE(entries.join('|') + (w->urlChanged() ? " changed" : "") +
                     (said.text == "End of the Data" ? " end" : ""),
                 after);
        QVERIFY(said.text.isEmpty() ||
                (said.title == "Orvane Editor" && said.icon == Prompts::Icon::None));
    }

    // The single-link editor's reader fills the shared window, appending to what it holds.
    void sharedWindow_filledByReader() {
        PlayListWindows windows(f->state);
        const QString three = f->write("three.ram", "A\r\nB\r\nC\r\n");
        windows.send({"A", "B", "C"}, three);
        frmRMMulti* window = windows.window();
        QVERIFY(window && window->isVisible() && !window->urlChanged());
        QVERIFY(!mainEditor->isEnabled());
        windows.send({"D"}, f->path("other.ram"));
        QCOMPARE(window->entries(), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(window->documentPath(), three);
    }
};

QTEST_MAIN(tst_frmRMMulti)
#include "tst_frmRMMulti.moc"
