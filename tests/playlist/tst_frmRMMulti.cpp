#include <QAbstractItemModelTester>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

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
// A close from the title bar: the window system's close event, a spontaneous one.
bool closeFromTitleBar(QWidget* window) {
    window->show();
    QCloseEvent event;
    QApplication::sendEvent(window->windowHandle(), &event);
    return event.isAccepted();
}
}  // namespace

// What the play-list window does beyond the editors' shared commands (tests/editor).
class tst_frmRMMulti : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;
    std::unique_ptr<QWidget> mainEditor;
    QPointer<frmRMMulti> w;
    std::unique_ptr<QAbstractItemModelTester> tester;

    // A window holding `lines` (titled: opened from doc.ram, not changed).
    void make(const QString& lines, bool titled) {
        w = new frmRMMulti(f->state);
        tester = std::make_unique<QAbstractItemModelTester>(
            w->playList(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        if (titled) {
            QVERIFY(w->openFile(f->write("doc.ram", realMediaBytes(list(lines)))));
        } else {
            for (const QString& entry : list(lines)) {
                w->setAddress(entry);
                w->cmdAdd->click();
            }
        }
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

    // Opening over a changed window holding A, B and C.
    void open_data() {
        QTest::addColumn<QByteArray>("content");  // NoFile: a file that cannot be read
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("box");
        QTest::newRow("one line") << QByteArray("rtsp://a/x\r\n") << "rtsp://a/x"
                                  << "rtsp://a/x";
        QTest::newRow("three lines") << QByteArray("X\r\nY\r\nZ\r\n") << "X|Y|Z"
                                     << "http://";
        QTest::newRow("line then empty line") << QByteArray("X\r\n\r\n") << "X|"
                                              << "http://";
        QTest::newRow("unreadable: window kept") << NoFile << "A|B|C"
                                                 << "C";
    }
    void open() {
        QFETCH(QByteArray, content);
        QFETCH(QString, entries);
        QFETCH(QString, box);
        if (content != NoFile) {
            f->write("in.ram", content);
        }
        make("A|B|C", false);
        f->script(content == NoFile ? "No open:in.ram Ok" : "No open:in.ram");
        w->fileAction(2)->trigger();
        QCOMPARE(f->prompts.calls.at(1).text, "RaelMedia Link ( *.ram )|*.ram");
        QCOMPARE(w->entries(), list(entries));
        QCOMPARE(w->address(), box);
        QCOMPARE(w->windowTitle(), content == NoFile
                                       ? frmRMMulti::BaseTitle
                                       : frmRMMulti::BaseTitle + " - " + f->path("in.ram"));
        QCOMPARE(w->urlChanged(), content == NoFile);
        QCOMPARE(w->selectedIndex(), content == NoFile ? 2 : -1);
    }

    // The bytes Save As writes; an empty list saves the address box.
    void save_data() {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("three entries") << "A|B|C"
                                       << "x" << QByteArray("A\r\nB\r\nC\r\n");
        QTest::newRow("empty list: the box") << ""
                                             << "http://" << QByteArray("http://\r\n");
        QTest::newRow("empty entry") << "A|"
                                     << "x" << QByteArray("A\r\n\r\n");
    }
    void save() {
        QFETCH(QString, entries);
        QFETCH(QString, box);
        QFETCH(QByteArray, bytes);
        make(entries, false);
        w->setAddress(box);
        f->script("save:out.ram");
        w->fileAction(5)->trigger();
        QCOMPARE(f->prompts.calls.first().text, "RealPlayer Link ( *.ram )|*.ram");
        QCOMPARE(f->read("out.ram"), bytes);
        QCOMPARE(w->windowTitle(), frmRMMulti::BaseTitle + " - " + f->path("out.ram"));
    }

    // A titled window with A and B gets C added; the main editor is off while it is open and
    // on again after the user's close or Exit.
    void closing_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<bool>("stillOpen");
        QTest::addColumn<bool>("editorOn");
        QTest::addColumn<QByteArray>("written");
        const QByteArray before("A\r\nB\r\n"), after("A\r\nB\r\nC\r\n");
        QTest::newRow("title bar, Yes") << "close"
                                        << "Yes" << false << true << after;
        QTest::newRow("title bar, Cancel") << "close"
                                           << "Cancel" << true << false << before;
        QTest::newRow("Exit, Cancel: editor on") << "exit"
                                                 << "Cancel" << true << true << before;
        QTest::newRow("program close, No: editor off") << "program"
                                                       << "No" << false << false << before;
        QTest::newRow("program end, No: asked once") << "end"
                                                     << "No" << false << false << before;
        QTest::newRow("new link, Yes") << "newLink"
                                       << "Yes" << true << false << after;
    }
    void closing() {
        QFETCH(QString, command);
        QFETCH(QString, answers);
        QFETCH(bool, stillOpen);
        QFETCH(bool, editorOn);
        QFETCH(QByteArray, written);
        make("A|B", true);
        w->show();
        QVERIFY(!mainEditor->isEnabled());
        w->setAddress("C");
        w->cmdAdd->click();
        f->script(answers);
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
        QCOMPARE(f->prompts.calls.size(), answers.count(' ') + 1);
        QCOMPARE(!w.isNull() && w->isVisible(), stillOpen);
        QCOMPARE(mainEditor->isEnabled(), editorOn);
        QCOMPARE(f->read("doc.ram"), written);
        QVERIFY(w.isNull() || command != "newLink" || w->address() == "http://");
    }

    void buttons_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<int>("selectedAfter");
        QTest::addColumn<bool>("endOfData");
        QTest::addColumn<bool>("changed");
        QTest::newRow("add a duplicate") << "A" << -1 << "add"
                                         << "A|A" << 1 << false << true;
        QTest::newRow("remove the only entry") << "A" << 0 << "remove"
                                               << "" << -1 << false << true;
        QTest::newRow("remove, nothing selected") << "A|B" << -1 << "remove"
                                                  << "A|B" << -1 << false << false;
        QTest::newRow("up from the middle") << "A|B|C" << 1 << "up"
                                            << "B|A|C" << 0 << false << true;
        QTest::newRow("down from the middle") << "A|B|C" << 1 << "down"
                                              << "A|C|B" << 2 << false << true;
        QTest::newRow("up at the top") << "A|B|C" << 0 << "up"
                                       << "A|B|C" << 0 << true << false;
        QTest::newRow("down at the bottom") << "A|B" << 1 << "down"
                                            << "A|B" << 1 << true << false;
        QTest::newRow("up on an empty list") << "" << -1 << "up"
                                             << "" << -1 << true << false;
        QTest::newRow("down on an empty list") << "" << -1 << "down"
                                               << "" << -1 << true << false;
        QTest::newRow("up, nothing selected") << "A|B" << -1 << "up"
                                              << "A|B" << -1 << false << false;
    }
    void buttons() {
        QFETCH(QString, start);
        QFETCH(int, selected);
        QFETCH(QString, button);
        QFETCH(QString, entries);
        QFETCH(int, selectedAfter);
        QFETCH(bool, endOfData);
        QFETCH(bool, changed);
        make(start, true);
        w->setAddress("A");
        w->setUrlChanged(false);
        if (selected >= 0) {
            w->selectEntry(selected);
        }
        f->script(endOfData ? "Ok" : "");
        QTest::mouseClick(button == "add"      ? w->cmdAdd
                          : button == "remove" ? w->cmdRemove
                          : button == "up"     ? w->cmdUp
                                               : w->cmdDown,
                          Qt::LeftButton);
        QCOMPARE(w->entries(), list(entries));
        QCOMPARE(w->selectedIndex(), selectedAfter);
        QCOMPARE(w->urlChanged(), changed);  // a move changes what the file holds
        if (endOfData) {
            const ScriptedPrompts::Call& call = f->prompts.calls.first();
            QCOMPARE(call.text + "/" + call.title, "End of the Data/Orvane Editor");
            QCOMPARE(call.icon, Prompts::Icon::None);
        }
    }

    // The single-link editor's reader fills the shared window, appending to what it holds,
    // and "With Play List" waits for it.
    void sharedWindow_filledByReader_waitedForByWithPlayList() {
        PlayListWindows windows(f->state);
        auto* editor = new frmMain(f->state);
        f->state.mainEditor = editor;
        const QString three = f->write("three.ram", "A\r\nB\r\nC\r\n");
        windows.send({"A", "B", "C"}, three);
        frmRMMulti* window = windows.window();
        QVERIFY(window && window->isVisible() && !window->urlChanged());
        QCOMPARE(window->documentPath(), three);
        QVERIFY(!editor->isEnabled());
        windows.send({"D"}, f->path("other.ram"));
        QCOMPARE(window->entries(), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(window->documentPath(), three);
        window->setUrlChanged(false);
        QVERIFY(closeFromTitleBar(window));
        QVERIFY(editor->isEnabled());
        bool waited = false;
        QTimer::singleShot(0, [&] {
            waited = windows.window() && !editor->isEnabled();
            windows.window()->fileAction(7)->trigger();
        });
        windows.show(true);
        QVERIFY(waited);
        QVERIFY(editor->isEnabled());
        QCOMPARE(windows.window(), nullptr);
        delete editor;
    }
};

QTEST_MAIN(tst_frmRMMulti)
#include "tst_frmRMMulti.moc"
