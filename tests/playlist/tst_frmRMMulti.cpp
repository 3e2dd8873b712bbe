#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QtTest/QSpontaneKeyEvent>
#include <QtTest/QTest>

#include "LinkFiles.h"
#include "PlayListFixture.h"
#include "PlayListModel.h"
#include "WebPages.h"
#include "frmRMMulti.h"

using Answer = Prompts::Answer;

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
    // A window holding `lines`, opened from a file: titled and not changed.
    frmRMMulti* makeWith(const QStringList& lines, const QString& name = "doc.ram") {
        make();
        w->openFile(f->write(name, realMediaBytes(lines)));
        return w.get();
    }
    void add(const QString& text) {
        w->txtURL->setText(text);
        w->cmdAdd->click();
    }
    // Queues the answers: "Yes", "No", "Cancel", "Ok", "save:<name>", "open:<name>" (an empty
    // name cancels the dialog).
    void script(const QStringList& steps) {
        for (const QString& step : steps) {
            const QString name = step.section(':', 1);
            const QString path = name.isEmpty() ? QString() : f->path(name);
            if (step.startsWith("save:")) {
                f->prompts.answerSave(path);
            } else if (step.startsWith("open:")) {
                f->prompts.answerOpen(path);
            } else {
                f->prompts.answerMessage(step == "Yes"  ? Answer::Yes
                                         : step == "No" ? Answer::No
                                         : step == "Ok" ? Answer::Ok
                                                        : Answer::Cancel);
            }
        }
    }
    int recentLines() const { return int(f->bytes(f->state.recentFile).count("\r\n")); }

private slots:
    void init() {
        f = std::make_unique<PlayListFixture>();
        QVERIFY(f->dir.isValid());
    }
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
        QCOMPARE(w->Label1->text(), "URL :");
        QCOMPARE(w->cmdAdd->text(), "&Add");
        QCOMPARE(w->cmdRemove->text(), "&Remove");
        QCOMPARE(w->cmdUp->text(), "Up");
        QCOMPARE(w->cmdDown->text(), "Down");
        QCOMPARE(w->findChild<QListView*>("lstURL"), w->lstURL);
        QCOMPARE(w->lstURL->selectionMode(), QAbstractItemView::SingleSelection);
        for (QWidget* arial : {(QWidget*)w->Label1, (QWidget*)w->txtURL, (QWidget*)w->lstURL}) {
            QCOMPARE(arial->font().family(), "Arial");
        }

        // Tab order: txtURL, cmdAdd, cmdRemove, lstURL, cmdUp, cmdDown.
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
        QVERIFY(list.width() > w->width() / 2 && list.height() > w->height() / 3);
    }

    void menuItems_haveCaptionsAndShortcuts_data() {
        QTest::addColumn<QString>("array");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        const QList<std::tuple<const char*, int, const char*, const char*>> rows{
            {"mnuFileM", 0, "&New", ""},
            {"mnuNew", 0, "&Link...", "Ctrl+N"},
            {"mnuNew", 1, "&Window", "Ctrl+W"},
            {"mnuFileM", 2, "&Open...", ""},
            {"mnuFileM", 3, "Open &Local", ""},
            {"mnuFileM", 4, "&Save", "Ctrl+S"},
            {"mnuFileM", 5, "Save &As...", ""},
            {"mnuFileM", 7, "&Exit", ""},
            {"mnuEdit", 0, "&Copy", "Ctrl+C"},
            {"mnuEdit", 1, "C&ut", "Ctrl+X"},
            {"mnuEdit", 2, "&Paste", "Ctrl+V"},
            {"mnuEdit", 4, "Select &All", "Ctrl+A"},
            {"mnuView", 0, "Properties...", "Ctrl+P"},
            {"mnuHelp", 0, "&Content", "F1"},
            {"mnuHelp", 1, "Feedback...", ""},
            {"mnuHelp", 2, "Technical Support", ""},
            {"mnuHelp", 3, "Tessaly on the Web", ""},
            {"mnuOnWeb", 0, "Orvane Editor Homepage", ""},
            {"mnuOnWeb", 1, "Tessaly Homepage", ""},
            {"mnuHelp", 5, "&About Orvane Editor...", ""},
            {"separator mnuFileM", 1, "", ""},
            {"separator mnuFileM", 6, "", ""},
            {"separator mnuEdit", 3, "", ""},
            {"separator mnuHelp", 4, "", ""}};
        for (const auto& [array, index, caption, shortcut] : rows) {
            QTest::addRow("%s %d", array, index) << array << index << caption << shortcut;
        }
    }
    void menuItems_haveCaptionsAndShortcuts() {
        QFETCH(QString, array);
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        make();
        const bool separator = array.startsWith("separator ");
        const QString name = array.section(' ', -1);
        QAction* item = name == "mnuFileM"  ? w->fileAction(index)
                        : name == "mnuNew"  ? w->newAction(index)
                        : name == "mnuEdit" ? w->editAction(index)
                        : name == "mnuView" ? w->viewAction(index)
                        : name == "mnuHelp" ? w->helpAction(index)
                                            : w->onWebAction(index);
        QVERIFY(item);
        QCOMPARE(item->isSeparator(), separator);
        QCOMPARE(item->text(), caption);
        QCOMPARE(item->shortcut().toString(), shortcut);
    }

    void menuBar_hasFileEditViewHelpAndNoLinkMenu() {
        make();
        QCOMPARE(w->mainMenu(0)->title(), "&File");
        QCOMPARE(w->mainMenu(1)->title(), "&Edit");
        QCOMPARE(w->mainMenu(2), nullptr);
        QCOMPARE(w->mainMenu(3)->title(), "&View");
        QCOMPARE(w->mainMenu(4)->title(), "&Help");
    }

    void open_readsLinesIntoListAndBox_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("one line") << QByteArray("rtsp://a/x.rm\r\n") << "rtsp://a/x.rm"
                                  << QStringList{"rtsp://a/x.rm"};
        QTest::newRow("three lines")
            << QByteArray("A\r\nB\r\nC\r\n") << "http://" << QStringList{"A", "B", "C"};
        QTest::newRow("empty file") << QByteArray() << "http://" << QStringList{};
        QTest::newRow("line then empty line")
            << QByteArray("A\r\n\r\n") << "http://" << QStringList{"A", ""};
        QTest::newRow("CR line ends") << QByteArray("A\rB\r") << "http://" << QStringList{"A", "B"};
    }
    void open_readsLinesIntoListAndBox() {
        QFETCH(QByteArray, content);
        QFETCH(QString, box);
        QFETCH(QStringList, entries);
        make();
        add("unsaved");
        const QString path = f->write("in.ram", content);
        script({"No", "open:in.ram"});
        w->fileAction(2)->trigger();
        QCOMPARE(f->prompts.calls.at(1).text, "RaelMedia Link ( *.ram )|*.ram");
        QCOMPARE(w->txtURL->text(), box);
        QCOMPARE(w->entries(), entries);
        QCOMPARE(w->windowTitle(), "RealMedia Link Editor - " + path);
        QCOMPARE(w->documentPath(), path);
        QVERIFY(!w->urlChanged());
        QCOMPARE(w->selectedIndex(), -1);
    }

    void open_unreadableFile_reportsAndKeepsWindow_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("binary with NUL bytes") << "binary";
        QTest::newRow("absurdly large") << "large";
    }
    void open_unreadableFile_reportsAndKeepsWindow() {
        QFETCH(QString, kind);
        const QString path = f->path("bad.ram");
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "binary") {
            f->write("bad.ram", QByteArray("A\r\n\0B\r\n", 7));
        } else if (kind == "large") {
            QFile big(path);
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(linkFileSizeCap + 1));
        }
        makeWith({"A", "B"});
        add("C");
        const QString title = w->windowTitle();
        script({"No", "open:bad.ram", "Ok"});
        w->fileAction(2)->trigger();
        const ScriptedPrompts::Call& report = f->prompts.calls.last();
        QVERIFY2(report.text.contains(path), qPrintable(report.text));
        QCOMPARE(report.icon, Prompts::Icon::Critical);
        QCOMPARE(report.buttons, Prompts::Buttons::Ok);
        QCOMPARE(w->entries(), (QStringList{"A", "B", "C"}));
        QCOMPARE(w->txtURL->text(), "C");
        QCOMPARE(w->windowTitle(), title);
        QVERIFY(w->urlChanged());
    }

    void saveAs_writesExactBytesAndReopens_data() {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("three entries")
            << QStringList{"A", "B", "C"} << "C" << QByteArray("A\r\nB\r\nC\r\n");
        QTest::newRow("empty list writes the box")
            << QStringList{} << "http://" << QByteArray("http://\r\n");
        QTest::newRow("empty list and empty box") << QStringList{} << "" << QByteArray("\r\n");
        QTest::newRow("empty entry gives empty line")
            << QStringList{"A", ""} << "" << QByteArray("A\r\n\r\n");
    }
    void saveAs_writesExactBytesAndReopens() {
        QFETCH(QStringList, added);
        QFETCH(QString, box);
        QFETCH(QByteArray, expected);
        make();
        for (const QString& entry : added) {
            add(entry);
        }
        w->txtURL->setText(box);
        script({"save:out.ram"});
        w->fileAction(4)->trigger();  // Save of an untitled list asks for a name
        QCOMPARE(f->prompts.calls.last().text, "RealPlayer Link ( *.ram )|*.ram");
        const QString path = f->path("out.ram");
        QCOMPARE(f->bytes(path), expected);
        QCOMPARE(w->windowTitle(), "RealMedia Link Editor - " + path);
        QVERIFY(!w->urlChanged());
        QCOMPARE(f->bytes(f->state.recentFile), path.toUtf8() + "\r\n");

        frmRMMulti reopened(f->state);
        QVERIFY(reopened.openFile(path));
        const QStringList entries = added.isEmpty() ? QStringList{box} : added;
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
        script({"save:copy.ram", "save:copy.ram"});
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
        if (target != "nosuch/out.ram") {
            QVERIFY(QDir().mkpath(path));
        }
        script(titled ? QStringList{"Ok"} : QStringList{"save:" + target, "Ok"});
        w->fileAction(4)->trigger();
        QVERIFY(f->prompts.calls.last().text.contains(path));
        QCOMPARE(f->prompts.calls.last().icon, Prompts::Icon::Critical);
        QCOMPARE(w->windowTitle(), title);
        QVERIFY(w->urlChanged());
        QVERIFY(!QFile::exists(f->state.recentFile));
    }

    void commands_followTheUnsavedChangesPrompt_data() {
        QTest::addColumn<bool>("titled");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("stillOpen");
        QTest::addColumn<bool>("editorOn");
        QTest::addColumn<QByteArray>("written");  // out.ram, or doc.ram when titled
        QTest::addColumn<int>("recent");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("box");
        const QByteArray none;
        const QByteArray docBefore("A\r\nB\r\n");
        const QByteArray docAfter("A\r\nB\r\nC\r\n");
        const QStringList changed{"A", "B", "C"};
        QTest::newRow("close untitled, Yes, save as")
            << false << "close" << QStringList{"Yes", "save:out.ram"} << false << true
            << QByteArray("C\r\n") << 1 << QStringList{"C"} << "C";
        QTest::newRow("close untitled, Yes, dialog cancelled")
            << false << "close" << QStringList{"Yes", "save:"} << true << false << none << 0
            << QStringList{"C"} << "C";
        QTest::newRow("close titled, Yes, file rewritten")
            << true << "close" << QStringList{"Yes"} << false << true << docAfter << 0 << changed
            << "C";
        QTest::newRow("close, No") << true << "close" << QStringList{"No"} << false << true
                                   << docBefore << 0 << changed << "C";
        QTest::newRow("close, Cancel") << true << "close" << QStringList{"Cancel"} << true << false
                                       << docBefore << 0 << changed << "C";
        QTest::newRow("close, Yes, save fails")
            << false << "close" << QStringList{"Yes", "save:nosuch/out.ram", "Ok"} << true << false
            << none << 0 << QStringList{"C"} << "C";
        QTest::newRow("exit, No") << true << "exit" << QStringList{"No"} << false << true
                                  << docBefore << 0 << changed << "C";
        QTest::newRow("exit, Cancel keeps window, editor on")
            << true << "exit" << QStringList{"Cancel"} << true << true << docBefore << 0 << changed
            << "C";
        QTest::newRow("program close, No, editor left off")
            << true << "programClose" << QStringList{"No"} << false << false << docBefore << 0
            << changed << "C";
        QTest::newRow("open, Cancel") << true << "open" << QStringList{"Cancel"} << true << false
                                      << docBefore << 0 << changed << "C";
        QTest::newRow("open, No, dialog cancelled")
            << true << "open" << QStringList{"No", "open:"} << true << false << docBefore << 0
            << changed << "C";
        QTest::newRow("open, Yes, file saved then opened")
            << true << "open" << QStringList{"Yes", "open:other.ram"} << true << false << docAfter
            << 0 << QStringList{"Z"} << "Z";
        QTest::newRow("open, Yes, save dialog cancelled stops the open")
            << false << "open" << QStringList{"Yes", "save:"} << true << false << none << 0
            << QStringList{"C"} << "C";
        QTest::newRow("open local, No")
            << true << "openLocal" << QStringList{"No", "open:clip.mp3"} << true << false
            << docBefore << 0 << changed << "file://%1/clip.mp3";
        QTest::newRow("new link, Yes") << true << "newLink" << QStringList{"Yes"} << true << false
                                       << docAfter << 0 << changed << "http://";
        QTest::newRow("new link, Cancel") << true << "newLink" << QStringList{"Cancel"} << true
                                          << false << docBefore << 0 << changed << "C";
    }
    void commands_followTheUnsavedChangesPrompt() {
        QFETCH(bool, titled);
        QFETCH(QString, command);
        QFETCH(QStringList, steps);
        QFETCH(bool, stillOpen);
        QFETCH(bool, editorOn);
        QFETCH(QByteArray, written);
        QFETCH(int, recent);
        QFETCH(QStringList, entries);
        QFETCH(QString, box);
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
            QAction* item = command == "exit"        ? w->fileAction(7)
                            : command == "open"      ? w->fileAction(2)
                            : command == "openLocal" ? w->fileAction(3)
                                                     : w->newAction(0);
            item->trigger();
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
        QCOMPARE(w->entries(), entries);
        QCOMPARE(w->txtURL->text(), box.contains("%1") ? box.arg(f->dir.path()) : box);
    }

    void closing_cleanWindow_asksNothing_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("editorOn");
        QTest::newRow("title bar turns the editor on") << "close" << true;
        QTest::newRow("exit turns the editor on") << "exit" << true;
        QTest::newRow("program close leaves it off") << "programClose" << false;
    }
    void closing_cleanWindow_asksNothing() {
        QFETCH(QString, command);
        QFETCH(bool, editorOn);
        makeWith({"A", "B", "C"});
        w->show();
        w->selectEntry(1);
        w->cmdUp->click();  // a move in a clean window marks it changed...
        QVERIFY(w->urlChanged());
        w->fileAction(4)->trigger();  // ...and Save writes the new order
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

    void buttons_editTheList_data() {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("box");  // null: the box is left as it is
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selectedAfter");
        QTest::addColumn<bool>("endOfData");
        QTest::addColumn<bool>("changed");
        const QStringList abc{"A", "B", "C"};
        const QString keep;
        QTest::newRow("add http:// to an empty list")
            << QStringList{} << -1 << "http://"
            << "add" << QStringList{"http://"} << 0 << false << true;
        QTest::newRow("add a duplicate")
            << QStringList{"A", "B"} << 0 << "A"
            << "add" << QStringList{"A", "B", "A"} << 2 << false << true;
        QTest::newRow("add empty text") << QStringList{"A", "B"} << -1 << ""
                                        << "add" << QStringList{"A", "B", ""} << 2 << false << true;
        QTest::newRow("remove the only entry")
            << QStringList{"A"} << 0 << keep << "remove" << QStringList{} << -1 << false << true;
        QTest::newRow("remove the middle entry")
            << abc << 1 << keep << "remove" << QStringList{"A", "C"} << -1 << false << true;
        QTest::newRow("remove, nothing selected")
            << abc << -1 << keep << "remove" << abc << -1 << false << false;
        QTest::newRow("remove on an empty list")
            << QStringList{} << -1 << keep << "remove" << QStringList{} << -1 << false << false;
        QTest::newRow("up from the middle")
            << abc << 1 << keep << "up" << QStringList{"B", "A", "C"} << 0 << false << true;
        QTest::newRow("down from the middle")
            << abc << 1 << keep << "down" << QStringList{"A", "C", "B"} << 2 << false << true;
        QTest::newRow("down between equal entries")
            << QStringList{"A", "A", "B"} << 0 << keep << "down" << QStringList{"A", "A", "B"} << 1
            << false << true;
        QTest::newRow("up at the top") << abc << 0 << keep << "up" << abc << 0 << true << false;
        QTest::newRow("down at the bottom")
            << abc << 2 << keep << "down" << abc << 2 << true << false;
        QTest::newRow("down on an empty list")
            << QStringList{} << -1 << keep << "down" << QStringList{} << -1 << true << false;
        QTest::newRow("up on an empty list")
            << QStringList{} << -1 << keep << "up" << QStringList{} << -1 << true << false;
        QTest::newRow("up, nothing selected")
            << abc << -1 << keep << "up" << abc << -1 << false << false;
        QTest::newRow("down, nothing selected")
            << abc << -1 << keep << "down" << abc << -1 << false << false;
    }
    void buttons_editTheList() {
        QFETCH(QStringList, start);
        QFETCH(int, selected);
        QFETCH(QString, box);
        QFETCH(QString, button);
        QFETCH(QStringList, entries);
        QFETCH(int, selectedAfter);
        QFETCH(bool, endOfData);
        QFETCH(bool, changed);
        makeWith(start);
        const QString boxBefore = w->txtURL->text();
        if (selected >= 0) {
            w->selectEntry(selected);
        }
        if (!box.isNull()) {
            w->txtURL->setText(box);
            w->fileAction(4)->trigger();  // saved, so only the button can mark it changed
        }
        if (endOfData) {
            script({"Ok"});
        }
        QPushButton* pressed = button == "add"      ? w->cmdAdd
                               : button == "remove" ? w->cmdRemove
                               : button == "up"     ? w->cmdUp
                                                    : w->cmdDown;
        QTest::mouseClick(pressed, Qt::LeftButton);
        QCOMPARE(w->entries(), entries);
        QCOMPARE(w->selectedIndex(), selectedAfter);
        QCOMPARE(w->urlChanged(), changed);
        QCOMPARE(w->txtURL->text(), box.isNull() ? boxBefore : box);
        QCOMPARE(f->prompts.calls.size(), endOfData ? 1 : 0);
        if (endOfData) {
            const ScriptedPrompts::Call& call = f->prompts.calls.first();
            QCOMPARE(call.text, "End of the Data");
            QCOMPARE(call.title, "Orvane Editor");
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
        QTest::newRow("copy the selection") << 7 << 3 << "0"
                                            << "http://abc"
                                            << "abc"
                                            << "abc";
        QTest::newRow("copy with nothing selected empties the clipboard") << 10 << 0 << "0"
                                                                          << "http://abc"
                                                                          << ""
                                                                          << "";
        QTest::newRow("cut the whole address") << 0 << 10 << "1"
                                               << ""
                                               << "http://abc"
                                               << "";
        QTest::newRow("paste over the selection") << 7 << 3 << "2"
                                                  << "http://xyz"
                                                  << "xyz"
                                                  << "";
        QTest::newRow("paste at the caret") << 10 << 0 << "2"
                                            << "http://abcxyz"
                                            << "xyz"
                                            << "";
        QTest::newRow("select all") << 3 << 0 << "4"
                                    << "http://abc"
                                    << "xyz"
                                    << "http://abc";
        QTest::newRow("Ctrl+X from the keyboard goes to the menu") << 7 << 3 << "Ctrl+X"
                                                                   << "http://"
                                                                   << "abc"
                                                                   << "";
        QTest::newRow("Ctrl+C with nothing selected empties the clipboard") << 10 << 0 << "Ctrl+C"
                                                                            << "http://abc"
                                                                            << ""
                                                                            << "";
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
        makeWith({"A", "B"});
        w->txtURL->setText("http://old");
        w->fileAction(4)->trigger();
        w->txtURL->setSelection(0, 4);
        QMimeData data;
        if (!file.isEmpty()) {
            data.setUrls({QUrl::fromLocalFile(f->write(file, "X\r\nY\r\n"))});
        }
        if (!text.isEmpty()) {
            data.setText(text);
        }
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(w->txtURL, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(w->txtURL, &drop);
        QCOMPARE(w->txtURL->text(), accepted ? text : "http://old");
        QCOMPARE(w->urlChanged(), accepted);
        QCOMPARE(w->entries(), (QStringList{"A", "B"}));
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
            auto* window = qobject_cast<frmRMMulti*>(top);
            if (window && window != w.get()) {
                made.append(window);
            }
        }
        QCOMPARE(made.size(), 2);
        for (frmRMMulti* window : made) {
            QVERIFY(window->isVisible());
            QCOMPARE(window->pos(), w->pos() + offset);
            QCOMPARE(window->windowTitle(), "RealMedia Link Editor");
            QVERIFY(window->entries().isEmpty() && !window->urlChanged());
            QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
            QVERIFY(window->close());
        }
        QCOMPARE(w->entries(), (QStringList{"A", "B"}));
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
        f->state.showHelpContent = [&] { calls << "help content"; };
        f->state.showAbout = [&](QWidget* parent, bool modal) {
            calls << QString("about over %1, modal %2")
                         .arg(parent == w.get() ? "this window" : "another")
                         .arg(int(modal));
        };
        f->state.showOptions = [&](QWidget* parent) {
            calls << QString("options over %1").arg(parent == w.get() ? "this window" : "another");
        };
        const int index = item.section(' ', 1).toInt();
        (item.startsWith("help")  ? w->helpAction(index)
         : item.startsWith("web") ? w->onWebAction(index)
                                  : w->viewAction(index))
            ->trigger();
        QCOMPARE(calls + f->shell.opened, QStringList{reached});
    }

    void settleBeforeExit_asksOnceAndHonoursCancel_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("settled");
        QTest::newRow("No: the ending close asks no more") << QStringList{"No"} << true;
        QTest::newRow("Yes: saved") << QStringList{"Yes", "save:out.ram"} << true;
        QTest::newRow("Cancel stops the end") << QStringList{"Cancel"} << false;
        QTest::newRow("Yes, dialog cancelled") << QStringList{"Yes", "save:"} << false;
    }
    void settleBeforeExit_asksOnceAndHonoursCancel() {
        QFETCH(QStringList, steps);
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
        QCOMPARE(f->prompts.calls.count(), steps.size());
    }
};

QTEST_MAIN(tst_frmRMMulti)
#include "tst_frmRMMulti.moc"
