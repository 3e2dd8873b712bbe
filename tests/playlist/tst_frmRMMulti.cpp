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

    // Opening in.ram over a changed window holding A, B and C with B selected, then Save As:
    // the bytes written, an empty list's being the address box.
    void openThenSaveAs_data() {
        QTest::addColumn<QByteArray>("content");  // NoFile: a file that cannot be read
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QByteArray>("saved");
        const auto row = [](const char* name, const QByteArray& content, const char* entries,
                            const char* box, const QByteArray& saved) {
            QTest::newRow(name) << content << entries << box << saved;
        };
        row("one line", "rtsp://a/x\r\n", "rtsp://a/x", "rtsp://a/x", "rtsp://a/x\r\n");
        row("three lines", "X\r\nY\r\nZ", "X|Y|Z", "http://", "X\r\nY\r\nZ\r\n");
        row("line then empty line", "X\r\n\r\n", "X|", "http://", "X\r\n\r\n");
        row("empty: the box is saved", "", "", "http://", "http://\r\n");
        row("unreadable: window kept", NoFile, "A|B|C", "http://", "A\r\nB\r\nC\r\n");
    }
    void openThenSaveAs() {
        QFETCH(QByteArray, content);
        QFETCH(QString, entries);
        QFETCH(QString, box);
        QFETCH(QByteArray, saved);
        const bool readable = content != NoFile;
        if (readable) {
            f->write("in.ram", content);
        }
        make("A|B|C");
        w->selectEntry(1);
        w->setUrlChanged(true);
        f->script(readable ? "No open:in.ram" : "No open:in.ram Ok");
        w->fileAction(2)->trigger();
        QCOMPARE(f->prompts.calls.at(1).text, "RaelMedia Link ( *.ram )|*.ram");
        QCOMPARE(w->entries(), list(entries));
        QCOMPARE(w->address(), box);
        QCOMPARE(w->documentPath(), f->path(readable ? "in.ram" : "doc.ram"));
        QCOMPARE(w->urlChanged(), !readable);
        QCOMPARE(w->selectedIndex(), readable ? -1 : 1);
        f->script("save:out.ram");
        w->fileAction(5)->trigger();
        QCOMPARE(f->prompts.calls.last().text, "RealPlayer Link ( *.ram )|*.ram");
        QCOMPARE(f->read("out.ram"), saved);
        QCOMPARE(w->windowTitle(), frmRMMulti::BaseTitle + " - " + f->path("out.ram"));
    }

    // A window with A and B from doc.ram gets C added; the main editor is off while it is
    // open and on again after the user's close or Exit.
    void closing_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("stillOpen");
        QTest::addColumn<bool>("editorOn");
        QTest::addColumn<bool>("saved");
        const auto row = [](const char* name, const char* command, const char* answer,
                            bool stillOpen, bool editorOn, bool saved) {
            QTest::newRow(name) << command << answer << stillOpen << editorOn << saved;
        };
        row("title bar, Yes", "close", "Yes", false, true, true);
        row("title bar, Cancel", "close", "Cancel", true, false, false);
        row("Exit, Cancel: editor on", "exit", "Cancel", true, true, false);
        row("program close, No: editor off", "program", "No", false, false, false);
        row("program end, No: asked once", "end", "No", false, false, false);
        row("new link, Yes", "newLink", "Yes", true, false, true);
    }
    void closing() {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(bool, stillOpen);
        QFETCH(bool, editorOn);
        QFETCH(bool, saved);
        make("A|B");
        w->show();
        QVERIFY(!mainEditor->isEnabled());
        w->setAddress("C");
        w->cmdAdd->click();
        f->script(answer);
        if (command == "close") {
            QCOMPARE(closeFromTitleBar(w), !stillOpen);
        } else if (command == "program") {
            QCOMPARE(w->close(), !stillOpen);
        } else if (command == "end") {  // as the main editor's close asks every editor
            QVERIFY(f->state.settleAllBeforeExit());
            QVERIFY(w->close());
        } else {
            (command == "exit" ? w->fileAction(7) : w->newAction(0))->trigger();
        }
        QCOMPARE(f->prompts.calls.size(), 1);
        QCOMPARE(!w.isNull() && w->isVisible(), stillOpen);
        QCOMPARE(mainEditor->isEnabled(), editorOn);
        QCOMPARE(f->read("doc.ram"), saved ? "A\r\nB\r\nC\r\n" : "A\r\nB\r\n");
        QVERIFY(w.isNull() || command != "newLink" || w->address() == "http://");
    }

    // One button on a list from doc.ram ("[B]": B selected); the list after, "changed", and
    // "end" where Up or Down had nowhere to go and said "End of the Data".
    void buttons_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after");
        const auto row = [](const char* name, const char* before, const char* button,
                            const char* after) {
            QTest::newRow(name) << before << button << after;
        };
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
