#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QtTest/QTest>

#include "LinkFiles.h"
#include "PlayListFixture.h"
#include "PlayListModel.h"
#include "WebPages.h"
#include "frmRMMulti.h"

namespace {
// "A|B|C" as a list; "" is the empty list.
QStringList list(const QString& text) {
    return text.isEmpty() ? QStringList() : text.split('|');
}
struct Command {
    bool titled;
    QString command, steps;
    bool stillOpen, editorOn;
    QByteArray written;
    int recent;
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

    std::unique_ptr<PlayListFixture> f;
    std::unique_ptr<frmRMMulti> w;
    std::unique_ptr<QAbstractItemModelTester> tester;

    frmRMMulti* make() {
        w = std::make_unique<frmRMMulti>(f->state);
        tester = std::make_unique<QAbstractItemModelTester>(
            w->playList(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        return w.get();
    }
    // A window holding `lines`, opened from doc.ram: titled and not changed.
    frmRMMulti* makeWith(const QStringList& lines) {
        make();
        w->openFile(f->write("doc.ram", realMediaBytes(lines)));
        return w.get();
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
    int recentLines() const { return int(f->bytes(f->state.recentFile).count("\r\n")); }

private slots:
    void init() { f = std::make_unique<PlayListFixture>(); }
    void cleanup() {
        QCOMPARE(f->prompts.pendingAnswers(), 0);
        tester.reset();
        w.reset();
        f.reset();
        QCOMPARE(remainingWindows(), QWidgetList());
    }

    void load_laysOutControlsCleanAndTurnsMainEditorOff() {
        make();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->windowTitle(), "RealMedia Link Editor");
        QCOMPARE(w->txtURL->text(), "http://");
        QVERIFY(!w->urlChanged());
        QVERIFY(!f->mainEditor->isEnabled());
        QCOMPARE(w->findChild<QListView*>("lstURL"), w->lstURL);
        QCOMPARE(w->lstURL->selectionMode(), QAbstractItemView::SingleSelection);

        const QList<QWidget*> order{w->txtURL, w->cmdAdd, w->cmdRemove,
                                    w->lstURL, w->cmdUp,  w->cmdDown};
        QWidget* at = w->txtURL;
        for (QWidget* expected : order.mid(1)) {
            do {
                at = at->nextInFocusChain();
            } while (!order.contains(at));
            QCOMPARE(at, expected);
        }

        // Address row on top; Add and Remove side by side under its right half; the list
        // below them with Up over Down at its right edge.
        auto rect = [this](QWidget* c) { return QRect(c->mapTo(w.get(), QPoint()), c->size()); };
        const QRect box = rect(w->txtURL), add = rect(w->cmdAdd), remove = rect(w->cmdRemove);
        const QRect list = rect(w->lstURL), up = rect(w->cmdUp), down = rect(w->cmdDown);
        QVERIFY(add.top() > box.bottom() && add.top() == remove.top());
        QVERIFY(qAbs(add.left() - box.center().x()) <= 10 && remove.left() > add.right());
        QVERIFY(qAbs(remove.right() - box.right()) <= 1);
        QVERIFY(list.top() > add.bottom() && up.left() > list.right());
        QVERIFY(up.top() <= list.top() + 5 && down.top() > up.bottom());
    }

    void open_readsLinesIntoListAndBox_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("entries");
        // clang-format off
        QTest::newRow("one line") << QByteArray("rtsp://a/x.rm\r\n") << "rtsp://a/x.rm" << "rtsp://a/x.rm";
        QTest::newRow("three lines") << QByteArray("A\r\nB\r\nC\r\n") << "http://" << "A|B|C";
        QTest::newRow("empty file") << QByteArray() << "http://" << "";
        QTest::newRow("line then empty line") << QByteArray("A\r\n\r\n") << "http://" << "A|";
        // clang-format on
    }
    void open_readsLinesIntoListAndBox() {
        QFETCH(QByteArray, content);
        QFETCH(QString, box);
        QFETCH(QString, entries);
        make();
        add("unsaved");
        const QString path = f->write("in.ram", content);
        script("No open:in.ram");
        w->fileAction(2)->trigger();
        QCOMPARE(f->prompts.calls.at(1).text, "RaelMedia Link ( *.ram )|*.ram");
        QCOMPARE(w->txtURL->text(), box);
        QCOMPARE(w->entries(), list(entries));
        QCOMPARE(w->windowTitle(), "RealMedia Link Editor - " + path);
        QVERIFY(!w->urlChanged());
        QCOMPARE(w->selectedIndex(), -1);
    }

    void open_unreadableFile_reportsAndKeepsWindow_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"missing", "folder", "binary", "huge"}) {
            QTest::newRow(kind) << kind;
        }
    }
    void open_unreadableFile_reportsAndKeepsWindow() {
        QFETCH(QString, kind);
        const QString path = f->path("bad.ram");
        QFile bad(path);
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "binary") {
            f->write("bad.ram", QByteArray("A\r\n\0B\r\n", 7));
        } else if (kind == "huge") {
            QVERIFY(bad.open(QIODevice::WriteOnly) && bad.resize(linkFileSizeCap + 1));
        }
        makeWith({"A", "B"});
        add("C");
        script("No open:bad.ram Ok");
        w->fileAction(2)->trigger();
        const ScriptedPrompts::Call& report = f->prompts.calls.last();
        QVERIFY2(report.text.contains(path), qPrintable(report.text));
        QCOMPARE(report.icon, Prompts::Icon::Critical);
        QCOMPARE(w->entries(), list("A|B|C"));
        QCOMPARE(w->txtURL->text(), "C");
        QCOMPARE(w->documentPath(), f->path("doc.ram"));
        QVERIFY(w->urlChanged());
    }

    void saveAs_writesExactBytesAndReopens_data() {
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QByteArray>("expected");
        // clang-format off
        QTest::newRow("three entries") << "A|B|C" << "C" << QByteArray("A\r\nB\r\nC\r\n");
        QTest::newRow("empty list writes the box") << "" << "http://" << QByteArray("http://\r\n");
        QTest::newRow("empty list and empty box") << "" << "" << QByteArray("\r\n");
        QTest::newRow("empty entry gives empty line") << "A|" << "" << QByteArray("A\r\n\r\n");
        // clang-format on
    }
    void saveAs_writesExactBytesAndReopens() {
        QFETCH(QString, added);
        QFETCH(QString, box);
        QFETCH(QByteArray, expected);
        make();
        for (const QString& entry : list(added)) {
            add(entry);
        }
        w->txtURL->setText(box);
        script("save:out.ram");
        w->fileAction(4)->trigger();  // Save of an untitled list asks for a name
        QCOMPARE(f->prompts.calls.last().text, "RealPlayer Link ( *.ram )|*.ram");
        const QString path = f->path("out.ram");
        QCOMPARE(f->bytes(path), expected);
        QCOMPARE(w->windowTitle(), "RealMedia Link Editor - " + path);
        QVERIFY(!w->urlChanged());
        QCOMPARE(f->bytes(f->state.recentFile), path.toUtf8() + "\r\n");

        frmRMMulti reopened(f->state);
        QVERIFY(reopened.openFile(path));
        const QStringList entries = added.isEmpty() ? QStringList{box} : list(added);
        QCOMPARE(reopened.entries(), entries);
        QCOMPARE(reopened.txtURL->text(), entries.size() == 1 ? entries.first() : "http://");
    }

    void save_titledWindow_writesOnlyWhenChangedAndSaveAsAppendsRecent() {
        makeWith({"A", "B"});
        const QString doc = f->path("doc.ram");
        f->write("doc.ram", "EXTERNAL");
        w->fileAction(4)->trigger();  // clean: nothing is written
        QCOMPARE(f->bytes(doc), QByteArray("EXTERNAL"));
        add("C");
        w->fileAction(4)->trigger();  // changed: rewritten without a dialog
        QCOMPARE(f->bytes(doc), QByteArray("A\r\nB\r\nC\r\n"));
        QVERIFY(!w->urlChanged());
        QCOMPARE(recentLines(), 0);
        script("save:copy.ram save:copy.ram");
        w->fileAction(5)->trigger();
        w->fileAction(5)->trigger();
        const QByteArray line = f->path("copy.ram").toUtf8() + "\r\n";
        QCOMPARE(f->bytes(f->state.recentFile), line + line);
        QCOMPARE(w->documentPath(), f->path("copy.ram"));
    }

    void failedSave_reportsAndKeepsTitleFlagAndRecentList_data() {
        QTest::addColumn<bool>("titled");
        QTest::addColumn<QString>("target");
        QTest::newRow("save as into a missing folder") << false << "nosuch/out.ram";
        QTest::newRow("save as over a folder") << false << "folder.ram";
        QTest::newRow("save over a file that became a folder") << true << "doc.ram";
    }
    void failedSave_reportsAndKeepsTitleFlagAndRecentList() {
        QFETCH(bool, titled);
        QFETCH(QString, target);
        titled ? makeWith({"A", "B"}) : make();
        add("C");
        const QString title = w->windowTitle();
        const QString path = f->path(target);
        if (titled) {
            QVERIFY(QFile::remove(path));
        }
        if (!target.contains('/')) {
            QVERIFY(QDir().mkpath(path));
        }
        script(titled ? "Ok" : "save:" + target + " Ok");
        w->fileAction(4)->trigger();
        QVERIFY(f->prompts.calls.last().text.contains(path));
        QCOMPARE(f->prompts.calls.last().icon, Prompts::Icon::Critical);
        QCOMPARE(w->windowTitle(), title);
        QVERIFY(w->urlChanged());
        QVERIFY(!QFile::exists(f->state.recentFile));
    }

    // Each row: a window with A and B (titled: from doc.ram) gets C added, then the command
    // runs and the prompts are answered; out.ram or doc.ram then holds `written`.
    void commands_followTheUnsavedChangesPrompt_data() {
        QTest::addColumn<Command>("row");
        const QByteArray none, before("A\r\nB\r\n"), after("A\r\nB\r\nC\r\n");
        const QList<std::pair<const char*, Command>> rows{
            // clang-format off
            {"close untitled, Yes, save as", {false, "close", "Yes save:out.ram", false, true, "C\r\n", 1, "C", "C"}},
            {"close untitled, Yes, dialog cancelled", {false, "close", "Yes save:", true, false, none, 0, "C", "C"}},
            {"close untitled, Yes, save fails", {false, "close", "Yes save:no/out.ram Ok", true, false, none, 0, "C", "C"}},
            {"close titled, Yes, file rewritten", {true, "close", "Yes", false, true, after, 0, "A|B|C", "C"}},
            {"close, No", {true, "close", "No", false, true, before, 0, "A|B|C", "C"}},
            {"close, Cancel", {true, "close", "Cancel", true, false, before, 0, "A|B|C", "C"}},
            {"exit, No", {true, "exit", "No", false, true, before, 0, "A|B|C", "C"}},
            {"exit, Cancel: open, editor on", {true, "exit", "Cancel", true, true, before, 0, "A|B|C", "C"}},
            {"program close, No: editor off", {true, "programClose", "No", false, false, before, 0, "A|B|C", "C"}},
            {"open, Cancel", {true, "open", "Cancel", true, false, before, 0, "A|B|C", "C"}},
            {"open, No, dialog cancelled", {true, "open", "No open:", true, false, before, 0, "A|B|C", "C"}},
            {"open, Yes: saved, then opened", {true, "open", "Yes open:other.ram", true, false, after, 0, "Z", "Z"}},
            {"open, Yes, save cancelled: no open", {false, "open", "Yes save:", true, false, none, 0, "C", "C"}},
            {"open local, No", {true, "openLocal", "No open:clip.mp3", true, false, before, 0, "A|B|C", "file://%1/clip.mp3"}},
            {"new link, Yes", {true, "newLink", "Yes", true, false, after, 0, "A|B|C", "http://"}},
            {"new link, Cancel", {true, "newLink", "Cancel", true, false, before, 0, "A|B|C", "C"}},
            // clang-format on
        };
        for (const auto& [name, row] : rows) {
            QTest::newRow(name) << row;
        }
    }
    void commands_followTheUnsavedChangesPrompt() {
        QFETCH(Command, row);
        const auto& [titled, command, steps, stillOpen, editorOn, written, recent, entries, box] =
            row;
        f->write("other.ram", "Z\r\n");
        titled ? makeWith({"A", "B"}) : make();
        w->show();
        add("C");
        script(steps);
        if (command == "close") {
            QCOMPARE(closeFromTitleBar(w.get()), !stillOpen);
        } else if (command == "programClose") {
            QCOMPARE(w->close(), !stillOpen);
        } else {
            (command == "exit"        ? w->fileAction(7)
             : command == "open"      ? w->fileAction(2)
             : command == "openLocal" ? w->fileAction(3)
                                      : w->newAction(0))
                ->trigger();
        }
        const ScriptedPrompts::Call& question = f->prompts.calls.first();
        QCOMPARE(question.text, "You have not yet saved your link. Do you want to save it now ?");
        QCOMPARE(question.title, "Orvane Editor");
        QCOMPARE(question.icon, Prompts::Icon::Question);
        QCOMPARE(question.buttons, Prompts::Buttons::YesNoCancel);
        QCOMPARE(w->isVisible(), stillOpen);
        QCOMPARE(f->mainEditor->isEnabled(), editorOn);
        QCOMPARE(f->bytes(f->path(titled ? "doc.ram" : "out.ram")), written);
        QCOMPARE(recentLines(), recent);
        QCOMPARE(w->entries(), list(entries));
        QCOMPARE(w->txtURL->text(), box.contains("%1") ? box.arg(f->dir.path()) : box);
    }

    void closing_afterSavedMove_asksNothing_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("editorOn");
        QTest::newRow("title bar turns the editor on") << "close" << true;
        QTest::newRow("exit turns the editor on") << "exit" << true;
        QTest::newRow("program close leaves it off") << "programClose" << false;
    }
    void closing_afterSavedMove_asksNothing() {
        QFETCH(QString, command);
        QFETCH(bool, editorOn);
        makeWith({"A", "B", "C"});
        w->show();
        w->selectEntry(1);
        w->cmdUp->click();  // a move marks the list changed...
        QVERIFY(w->urlChanged());
        w->fileAction(4)->trigger();  // ...so Save writes the new order
        QCOMPARE(f->bytes(f->path("doc.ram")), QByteArray("B\r\nA\r\nC\r\n"));
        QVERIFY(!f->mainEditor->isEnabled());
        if (command == "close") {
            QVERIFY(closeFromTitleBar(w.get()));
        } else if (command == "exit") {
            w->fileAction(7)->trigger();
        } else {
            QVERIFY(w->close());
        }
        QVERIFY(!w->isVisible());
        QCOMPARE(f->mainEditor->isEnabled(), editorOn);
        QVERIFY(f->prompts.calls.isEmpty());
    }

    // The window starts clean with `start`; `box` (unless "-") is typed and saved first.
    void buttons_editTheList_data() {
        QTest::addColumn<Press>("row");
        const QList<std::pair<const char*, Press>> rows{
            // clang-format off
            {"add http:// to an empty list", {"", -1, "http://", "add", "http://", 0, false, true}},
            {"add a duplicate", {"A|B", 0, "A", "add", "A|B|A", 2, false, true}},
            {"add empty text", {"A|B", -1, "", "add", "A|B|", 2, false, true}},
            {"remove the only entry", {"A", 0, "-", "remove", "", -1, false, true}},
            {"remove the middle entry", {"A|B|C", 1, "-", "remove", "A|C", -1, false, true}},
            {"remove, nothing selected", {"A|B|C", -1, "-", "remove", "A|B|C", -1, false, false}},
            {"remove on an empty list", {"", -1, "-", "remove", "", -1, false, false}},
            {"up from the middle", {"A|B|C", 1, "-", "up", "B|A|C", 0, false, true}},
            {"down from the middle", {"A|B|C", 1, "-", "down", "A|C|B", 2, false, true}},
            {"down between equal entries", {"A|A|B", 0, "-", "down", "A|A|B", 1, false, true}},
            {"up at the top", {"A|B|C", 0, "-", "up", "A|B|C", 0, true, false}},
            {"down at the bottom", {"A|B|C", 2, "-", "down", "A|B|C", 2, true, false}},
            {"down on an empty list", {"", -1, "-", "down", "", -1, true, false}},
            {"up on an empty list", {"", -1, "-", "up", "", -1, true, false}},
            {"up, nothing selected", {"A|B|C", -1, "-", "up", "A|B|C", -1, false, false}},
            {"down, nothing selected", {"A|B|C", -1, "-", "down", "A|B|C", -1, false, false}},
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
            w->fileAction(4)->trigger();
        }
        const QString boxBefore = w->txtURL->text();
        script(endOfData ? "Ok" : "");
        QTest::mouseClick(button == "add"      ? w->cmdAdd
                          : button == "remove" ? w->cmdRemove
                          : button == "up"     ? w->cmdUp
                                               : w->cmdDown,
                          Qt::LeftButton);
        QCOMPARE(w->entries(), list(entries));
        QCOMPARE(w->selectedIndex(), selectedAfter);
        QCOMPARE(w->urlChanged(), changed);
        QCOMPARE(w->txtURL->text(), boxBefore);
        QCOMPARE(f->prompts.calls.size(), endOfData ? 1 : 0);
        if (endOfData) {
            const ScriptedPrompts::Call& call = f->prompts.calls.first();
            QCOMPARE(call.text + "/" + call.title, "End of the Data/Orvane Editor");
            QCOMPARE(call.icon, Prompts::Icon::None);
            QCOMPARE(call.buttons, Prompts::Buttons::Ok);
        }
    }

    void editMenu_worksOnTheAddressBox_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("selectedText");
        // clang-format off
        QTest::newRow("copy the selection") << 7 << 3 << "0" << "http://abc" << "abc" << "abc";
        QTest::newRow("copy, nothing selected: empty clipboard") << 10 << 0 << "0" << "http://abc" << "" << "";
        QTest::newRow("cut the whole address") << 0 << 10 << "1" << "" << "http://abc" << "";
        QTest::newRow("paste over the selection") << 7 << 3 << "2" << "http://xyz" << "xyz" << "";
        QTest::newRow("paste at the caret") << 10 << 0 << "2" << "http://abcxyz" << "xyz" << "";
        QTest::newRow("select all") << 3 << 0 << "4" << "http://abc" << "xyz" << "http://abc";
        QTest::newRow("Ctrl+X goes to the menu") << 7 << 3 << "Ctrl+X" << "http://" << "abc" << "";
        QTest::newRow("Ctrl+C, nothing selected: empty clipboard") << 10 << 0 << "Ctrl+C" << "http://abc" << "" << "";
        // clang-format on
    }
    void editMenu_worksOnTheAddressBox() {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, command);
        QFETCH(QString, box);
        QFETCH(QString, clipboard);
        QFETCH(QString, selectedText);
        makeWith({"http://abc"});
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->txtURL->setFocus();
        w->txtURL->setSelection(start, length);
        QGuiApplication::clipboard()->setText("xyz");
        if (command.startsWith("Ctrl+")) {
            QTest::keySequence(w->txtURL, QKeySequence(command));
        } else {
            w->editAction(command.toInt())->trigger();
        }
        QCOMPARE(w->txtURL->text(), box);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QCOMPARE(w->txtURL->selectedText(), selectedText);
        QCOMPARE(w->urlChanged(), box != "http://abc");
    }

    void drop_replacesAddressWithTextAndRefusesFiles_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("text") << "rtsp://dropped/a.rm"
                              << "" << true;
        QTest::newRow("file list") << ""
                                   << "a.ram" << false;
        QTest::newRow("file list with its path as text") << "a.ram"
                                                         << "a.ram" << false;
    }
    void drop_replacesAddressWithTextAndRefusesFiles() {
        QFETCH(QString, text);
        QFETCH(QString, file);
        QFETCH(bool, accepted);
        makeWith({"http://old"});
        w->txtURL->setSelection(0, 4);
        QMimeData data;
        if (!file.isEmpty()) {
            data.setUrls({QUrl::fromLocalFile(f->write(file, "X\r\nY\r\n"))});
        }
        if (!text.isEmpty()) {
            data.setText(text);
        }
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(QPoint(5, 5), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->txtURL, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDropEvent drop(QPointF(5, 5), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w->txtURL, &drop);
        QCOMPARE(w->txtURL->text(), accepted ? text : "http://old");
        QCOMPARE(w->urlChanged(), accepted);
        QCOMPARE(w->entries(), list("http://old"));
    }

    void newWindow_twice_cascadesTwoCleanWindows() {
        makeWith({"A", "B"});
        w->show();
        w->move(100, 80);
        w->newAction(1)->trigger();
        w->newAction(1)->trigger();
        const QPoint offset(qRound(200.0 * w->logicalDpiX() / 1440),
                            qRound(200.0 * w->logicalDpiY() / 1440));
        QList<frmRMMulti*> made;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<frmRMMulti*>(top); window && window != w.get()) {
                made.append(window);
            }
        }
        QCOMPARE(made.size(), 2);
        for (frmRMMulti* window : made) {
            QVERIFY(window->isVisible());
            QCOMPARE(window->pos(), w->pos() + offset);
            QCOMPARE(window->windowTitle(), "RealMedia Link Editor");
            QVERIFY(window->entries().isEmpty() && !window->urlChanged());
            QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose) && window->close());
        }
        QCOMPARE(w->entries(), list("A|B"));
    }

    void helpAndViewItems_reachTheirWindowsAndPages_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("reached");
        QTest::newRow("content") << "help 0"
                                 << "help content";
        QTest::newRow("feedback") << "help 1" << WebPages::feedback();
        QTest::newRow("technical support") << "help 2" << WebPages::technicalSupport();
        QTest::newRow("product home page") << "web 0" << WebPages::productHome();
        QTest::newRow("maker home page") << "web 1" << WebPages::makerHome();
        QTest::newRow("about, modeless") << "help 5"
                                         << "about over this window, modal 0";
        QTest::newRow("properties") << "view 0"
                                    << "options over this window";
    }
    void helpAndViewItems_reachTheirWindowsAndPages() {
        QFETCH(QString, item);
        QFETCH(QString, reached);
        QStringList calls;
        make();
        auto over = [this](QWidget* parent) { return parent == w.get() ? "this window" : "other"; };
        f->state.showHelpContent = [&] { calls << "help content"; };
        f->state.showAbout = [&](QWidget* parent, bool modal) {
            calls << QString("about over %1, modal %2").arg(over(parent)).arg(int(modal));
        };
        f->state.showOptions = [&](QWidget* parent) {
            calls << QString("options over %1").arg(over(parent));
        };
        const int index = item.section(' ', 1).toInt();
        (item.startsWith("help")  ? w->helpAction(index)
         : item.startsWith("web") ? w->onWebAction(index)
                                  : w->viewAction(index))
            ->trigger();
        QCOMPARE(calls + f->shell.opened, QStringList{reached});
    }

    void settleBeforeExit_asksOnceAndHonoursCancel_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("settled");
        QTest::newRow("No: the ending close asks no more") << "No" << true;
        QTest::newRow("Yes: saved") << "Yes save:out.ram" << true;
        QTest::newRow("Cancel stops the end") << "Cancel" << false;
        QTest::newRow("Yes, dialog cancelled") << "Yes save:" << false;
    }
    void settleBeforeExit_asksOnceAndHonoursCancel() {
        QFETCH(QString, steps);
        QFETCH(bool, settled);
        make();
        add("C");
        QVERIFY(w->isLinkChanged());
        script(steps);
        QCOMPARE(w->settleBeforeExit(), settled);
        QVERIFY(w->isVisible());
        if (settled) {
            QVERIFY(w->close());  // the program's own close after everyone was asked
        }
        QCOMPARE(f->prompts.calls.count(), steps.count(' ') + 1);
    }
};

QTEST_MAIN(tst_frmRMMulti)
#include "tst_frmRMMulti.moc"
