#include "Fixture.h"
#include "LinkFiles.h"
#include "PlayListModel.h"
#include "PlayListWindows.h"
#include "WebPages.h"
#include "frmMain.h"
#include "frmRMMulti.h"

namespace {

const char* const Kinds[] = {"frmMain", "frmRMMulti"};

// Each window's filters for its open (1) and save (2) dialogs.
const QStringList Filters = {
    "frmMain 1 Internet Link ( *.url )|*.url|RealMedia Link ( *.ram )|*.ram",
    "frmMain 2 Internet Link ( *.url )|*.url", "frmRMMulti 1 RaelMedia Link ( *.ram )|*.ram",
    "frmRMMulti 2 RealPlayer Link ( *.ram )|*.ram"};

// "address | changed | file in the title", then the single-link editor's "| kind | checked
// Link items, then play-list items after a p" ("-": none), or the play list's "| entries, the
// selected one in brackets"; "closed" once the window is gone.
QString shown(const AddressEditorWindow* window) {
    if (!window) {
        return QStringLiteral("closed");
    }
    const QString file = window->windowTitle().section(" - ", 1);
    QStringList parts{window->address(), window->urlChanged() ? "changed" : "clean",
                      file.isEmpty() ? "-" : file};
    if (const auto* w = qobject_cast<const frmMain*>(window)) {
        QStringList checked;
        for (int i = 0; i <= 10; ++i) {
            if ((i <= 8 ? w->linkAction(i) : w->playListAction(i - 9))->isChecked()) {
                checked << (i <= 8 ? QString::number(i) : QStringLiteral("p%1").arg(i - 9));
            }
        }
        const QString kind = linkKindText(w->linkKind());
        parts << (kind.isEmpty() ? "-" : kind) << checked.join(' ');
    } else if (const auto* w = qobject_cast<const frmRMMulti*>(window)) {
        QStringList entries = w->entries();
        if (w->selectedIndex() >= 0) {
            entries[w->selectedIndex()] = '[' + entries[w->selectedIndex()] + ']';
        }
        parts << entries.join('|');
    }
    return parts.join(" | ");
}

// The menu item "new N", "file N", "view N", "help N", "web N", "link N" or "playlist N".
QAction* item(AddressEditorWindow* window, const QString& name) {
    const int i = name.section(' ', 1).toInt();
    auto* w = qobject_cast<frmMain*>(window);
    return name.startsWith("new")    ? window->newAction(i)
           : name.startsWith("file") ? window->fileAction(i)
           : name.startsWith("view") ? window->viewAction(i)
           : name.startsWith("help") ? window->helpAction(i)
           : name.startsWith("web")  ? window->onWebAction(i)
           : name.startsWith("link") ? w->linkAction(i)
                                     : w->playListAction(i);
}

// Data that is not only text, as a browser puts on the clipboard or a file manager drops:
// `text` (null: none) and `files`.
QMimeData* mimeData(const QString& text, const QList<QUrl>& files = {}) {
    auto* data = new QMimeData;
    data->setData("application/x-orvane-test", "binary");
    if (!files.isEmpty()) {
        data->setUrls(files);
    }
    if (!text.isNull()) {
        data->setText(text);
    }
    return data;
}

// The same row for both windows, the window's kind first.
template <typename... Values>
void rowForKinds(const char* name, const Values&... values) {
    for (const char* kind : Kinds) {
        ((QTest::addRow("%s: %s", kind, name) << QString(kind)) << ... << values);
    }
}

// A drop of text (null: none) and files.
void drop(QLineEdit* box, const QString& text, const QList<QUrl>& files = {}) {
    const std::unique_ptr<QMimeData> data(mimeData(text, files));
    const QPoint at = box->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    QDropEvent dropped(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &dropped);
    QCoreApplication::processEvents();  // the drop is read once the drag has ended
}

}  // namespace

// Both editor windows: what they share, and the single-link editor's own menus and readers.
class tst_editors : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;
    QList<QPointer<QWidget>> made;

    AddressEditorWindow* make(const QString& kind, const QString& address = QString()) {
        AddressEditorWindow* window = kind == "frmMain"
                                          ? static_cast<AddressEditorWindow*>(new frmMain(f->state))
                                          : new frmRMMulti(f->state);
        made << window;
        if (kind == "frmRMMulti") {
            new QAbstractItemModelTester(static_cast<frmRMMulti*>(window)->playList(),
                                         QAbstractItemModelTester::FailureReportingMode::QtTest,
                                         window);
        }
        if (!address.isNull()) {
            window->setAddress(address);
            window->setUrlChanged(false);
        }
        return window;
    }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        made << new QWidget;  // the main editor, off while a play list is open
        f->state.mainEditor = made.last();
    }
    void cleanup() {
        const int pending = f->prompts.pendingAnswers();
        qDeleteAll(made);
        made.clear();
        f.reset();
        checkCleanEnd(pending);
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
    }

    // Edit items ("0" to "4"), keys, the box's context menu ("menu"), a middle click and a drop, in
    // order, on "http://abc" with a selection (start, length; start -1: the caret at `length`) and
    // the clipboard holding `clipboard` (null: no text); the address and the clipboard after.
    // "bar": the menu bar takes the focus before the Edit menu opens. Every way text enters the box
    // leaves the breaks of a two-line text out.
    void addressBox_data() {
        columns<QString, QString, QPoint, QString, QString>("kind", "steps", "selection",
                                                            "clipboard", "after");
        const QString xyz = QStringLiteral("xyz"), twoLines = QStringLiteral("x\r\ny\n");
        rowForKinds("select all, cut", "4 1", QPoint(-1, 0), xyz, " http://abc");
        rowForKinds("paste at the caret, no text", "2", QPoint(-1, 7), QString(), "http://abc ");
        rowForKinds("cut, nothing selected", "1", QPoint(-1, 7), xyz, "http://abc ");
        rowForKinds("menu bar, copy", "bar 0", QPoint(0, 10), xyz, "http://abc http://abc");
        rowForKinds("menu bar, paste", "bar 2", QPoint(0, 7), xyz, "xyzabc xyz");
        for (const char* path : {"2", "Ctrl+V", "Shift+Ins", "menu", "middle", "drop"}) {
            rowForKinds(path, QString(path), QPoint(0, 10), twoLines, "xy " + twoLines);
        }
    }
    void addressBox() {
        auto [kind, steps, selection, clipboard, after] =
            fetch<QString, QString, QPoint, QString, QString>("kind", "steps", "selection",
                                                              "clipboard", "after");
        QGuiApplication::clipboard()->setMimeData(mimeData(clipboard));
        AddressEditorWindow* window = make(kind, "http://abc");
        QLineEdit* box = window->txtURL;
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        box->setFocus();
        selection.x() >= 0 ? box->setSelection(selection.x(), selection.y())
                           : box->setCursorPosition(selection.y());
        for (const QString& step : steps.split(' ')) {
            if (step == "bar") {
                window->menuBar()->setFocus(Qt::MenuBarFocusReason);
                emit window->mainMenu(1)->aboutToShow();
            } else if (step.contains('+')) {
                QTest::keySequence(box, QKeySequence(step));
            } else if (step == "menu") {
                const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
                for (QAction* action : menu->actions()) {
                    if (action->text().startsWith("&Paste")) {
                        action->trigger();
                    }
                }
            } else if (step == "middle") {
                if (!QGuiApplication::clipboard()->supportsSelection()) {
                    QSKIP("this platform has no selection clipboard");
                }
                QGuiApplication::clipboard()->setText(clipboard, QClipboard::Selection);
                box->clear();
                QTest::mouseClick(box, Qt::MiddleButton);
            } else if (step == "drop") {
                drop(box, clipboard);
            } else {
                window->editAction(step.toInt())->trigger();
            }
        }
        // No waiting: a fault fails fast.
        QCOMPARE(window->address() + ' ' + QGuiApplication::clipboard()->text(), after);
        QCOMPARE(window->urlChanged(), !after.startsWith("http://abc "));
    }

    // An address longer than a line edit's default limit is kept whole.
    void addressBox_longAddressKeptWhole() {
        const QString address = "http://h/" + QString(40000, 'a');
        QCOMPARE(make("frmMain", address)->address(), address);
    }

    // Menu items, buttons, closes and drops on a shown window holding `address` (null: the
    // window's own), changed and titled old.url, with a desktop that opens nothing: the windows
    // asked for and pages tried, then shown() with paths relative to the temporary folder, the
    // play list's file (doc.ram once closed) and "editor on" where the play list let the main
    // editor work again; or the message. "list A|[B]": the play list opened from doc.ram, B
    // selected. A play list read goes to the play-list window; the play-list window takes no
    // dropped file (the editor that would read it is off while it is open). Each new window
    // is 200 twips right of and below its maker's frame, every window at its designed size.
    // A failed open or save ("!message") is said with the warning icon, naming the file and
    // the reason, and leaves the window as it was before the last step.
    void commands_data() {
        columns<QString, QString, QString, QString, QString, QString>("kind", "address", "answers",
                                                                      "steps", "handed", "after");
        const QString feedback = WebPages::productHome() + "feedback.htm";
        const QString noBrowser = QStringLiteral(
            "The link \"%1\" could not be opened: the desktop has no program that opens it.");
        const QString old = QStringLiteral("http://old/ | changed | old.url");
        const QString none;
        rowForKinds("options, help, new window twice", none, "", "view 0, help 0, new 1, new 1",
                    "options help", "");
        rowForKinds("feedback, maker's page", none, "Ok Ok", "help 1, web 1",
                    feedback + ' ' + WebPages::makerHome(), noBrowser.arg(WebPages::makerHome()));
        const char* frmMain = "frmMain";
        row("about over the editor", frmMain, none, "", "help 5", "about modal", "");
        row("with play list", frmMain, "ftp://h", "", "playlist 1, playlist 0", "playList modal",
            "http://h | changed | old.url | RM | 7 p0");
        row("kind switch keeps the play-list mark", frmMain, "http://h", "", "playlist 1, link 7",
            "", "http://h | changed | old.url | Web | 7 p1");
        row("test", frmMain, "http://h/", "", "link 1", "test http://h/",
            "http://h/ | changed | old.url | - | 7");
        row("browse an executable", frmMain, "file://%1/tool", "Ok", "link 0", "", "(%1/tool)");
        row("open web", frmMain, "http://old/", "No open:a.url", "file 2", "",
            "http://x/ | clean | a.url | Web | 7");
        row("open ram", frmMain, "http://old/", "No open:one.ram", "file 2", "",
            "rtsp://one/ | clean | one.ram | RM | 7");
        row("open play list", frmMain, "http://old/", "No open:two.ram", "file 2", "send A|B",
            old + " | - | 7");
        row("open cancelled: clean", frmMain, "http://old/", "No open:", "file 2", "",
            "http://old/ | clean | old.url | - | 7");
        row("drop play list first", frmMain, "http://old/", "", "drop two.ram a.url", "send A|B",
            old + " | - | 7");
        row("drop file and text", frmMain, "http://old/", "", "drop+text a.url", "",
            "http://x/ | changed | old.url | - | 7");
        const char* list = "frmRMMulti";
        row("about over the play list", list, none, "", "help 5", "about", "");
        row("play list refuses a dropped file", list, "http://old/", "", "drop+text a.url", "",
            old + " | ");
        row("open, save as: an empty list saves the box", list, none, "open:empty.ram save:out.ram",
            "list A|[B]|C, file 2, file 5", "", "http:// | clean | out.ram |  | http://\r\n");
        row("title bar, Yes", list, none, "Yes", "list A|B, Add, close", "",
            "closed | A\r\nB\r\nhttp://\r\n | editor on");
        row("Exit, Cancel", list, none, "Cancel", "list A|B, Add, file 7", "",
            "http:// | changed | doc.ram | A|B|[http://] | A\r\nB\r\n | editor on");
        row("program end, No: asked once", list, none, "No", "list A|B, Add, end", "",
            "closed | A\r\nB\r\n");
        row("program end, Cancel", list, none, "Cancel", "list A|B, Add, end", "",
            "http:// | changed | doc.ram | A|B|[http://] | A\r\nB\r\n");
        row("new link, Yes", list, none, "Yes", "list A|B, Add, new 0", "",
            "http:// | clean | doc.ram | A|B|[http://] | A\r\nB\r\nhttp://\r\n");
        row("add a duplicate", list, none, "", "list A, Add", "",
            "A | changed | doc.ram | A|[A] | A\r\n");
        row("remove the only entry", list, none, "", "list [A], Remove", "",
            "A | changed | doc.ram |  | A\r\n");
        row("remove, nothing selected", list, none, "", "list A|B, Remove", "",
            "http:// | clean | doc.ram | A|B | A\r\nB\r\n");
        row("up from the middle", list, none, "", "list A|[B]|C, Up", "",
            "http:// | changed | doc.ram | [B]|A|C | A\r\nB\r\nC\r\n");
        row("down from the middle", list, none, "", "list A|[B]|C, Down", "",
            "http:// | changed | doc.ram | A|C|[B] | A\r\nB\r\nC\r\n");
        const QString readFailed =
            QStringLiteral("!The file \"%1/bad.%2\" could not be read: input/output error.");
        const QString saveFailed = QStringLiteral(
            "!The file \"%1/no/new.%2\" could not be saved: the folder \"%1/no\" does not exist.");
        row("open fails part-way", frmMain, "http://old/", "No open:bad.url Ok", "file 2", "",
            readFailed.arg("%1", "url"));
        row("save into a missing folder", frmMain, "http://old/", "save:no/new.url Ok", "file 5",
            "", saveFailed.arg("%1", "url"));
        row("play list: open fails part-way", list, none, "open:bad.ram Ok", "list A|B, file 2", "",
            readFailed.arg("%1", "ram"));
        row("play list: save into a missing folder", list, none, "save:no/new.ram Ok",
            "list A|B, Add, file 5", "", saveFailed.arg("%1", "ram"));
        row("up at the top", list, none, "Ok", "list [A]|B|C, Up", "", "End of the Data");
        row("down at the bottom", list, none, "Ok", "list A|[B], Down", "", "End of the Data");
        row("down on an empty list", list, none, "Ok", "list, Down", "", "End of the Data");
    }
    void commands() {
        auto [kind, address, answers, steps, handed, after] =
            fetch<QString, QString, QString, QString, QString, QString>(
                "kind", "address", "answers", "steps", "handed", "after");
        f->write("a.url", "[InternetShortcut]\r\nURL=http://x/\r\n");
        f->write("one.ram", "rtsp://one/\r\n");
        f->write("two.ram", "A\r\nB\r\n");
        f->write("empty.ram", "");
        f->write("tool", "x");
        QFile::setPermissions(f->path("tool"), QFile::ReadOwner | QFile::ExeOwner);
        // /proc/self/mem opens as a regular file, but reading at offset 0 fails (nothing is
        // mapped there), as a bad disk block would: root cannot read it either.
        for (const char* bad : {"bad.url", "bad.ram"}) {
            QFile::link(QStringLiteral("/proc/self/mem"), f->path(bad));
        }
        QPointer<AddressEditorWindow> window = make(kind, address.replace("%1", f->dir.path()));
        auto* list = qobject_cast<frmRMMulti*>(window);
        window->show();
        window->setUrlChanged(true);
        window->document().setPath(f->path("old.url"));
        f->shell.result = false;
        f->script(answers);
        QString before;
        for (const QString& step : steps.split(", ")) {
            before = shown(window);
            QList<QUrl> files;  // "drop" ("drop+text": and their URL as text) with the files
            for (const QString& file : step.split(' ').mid(1)) {
                files << QUrl::fromLocalFile(f->path(file));
            }
            const QString lines = step.section(' ', 1);
            if (step.startsWith("drop")) {
                const bool text = step.startsWith("drop+text");
                drop(window->txtURL, text ? files.first().toString() : QString(), files);
            } else if (step.startsWith("list")) {
                const QStringList entries = QString(lines).remove('[').remove(']').split('|');
                QVERIFY(list->openFile(f->write(
                    "doc.ram", realMediaBytes(lines.isEmpty() ? QStringList() : entries))));
                list->selectEntry(lines.split('|').indexOf(QRegularExpression("\\[.*")));
            } else if (auto* button = window->findChild<QPushButton*>("cmd" + step)) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else if (step == "close") {
                closeFromTitleBar(window);
            } else if (step == "end") {  // as the main editor's close asks every editor first
                f->state.settleAllBeforeExit() && window->close();
            } else {
                item(window, step)->trigger();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE((f->windows.calls + f->shell.opened).join(' '), handed);
        for (const ScriptedPrompts::Call& call : f->prompts.calls) {  // the file dialogs' filters
            QVERIFY(
                call.kind == ScriptedPrompts::Kind::Message ||
                Filters.contains(kind + ' ' + QString::number(int(call.kind)) + ' ' + call.text));
        }
        if (answers.endsWith("Ok")) {  // the message names what it is about
            const auto said = f->prompts.calls.value(f->prompts.calls.size() - 1);
            const bool failed = after.startsWith('!');
            QVERIFY2(said.text.contains(after.mid(failed).replace("%1", f->dir.path())),
                     qPrintable(said.text));
            if (failed) {
                QCOMPARE(said.icon, Prompts::Icon::Warning);
                QCOMPARE(shown(window), before);
                QVERIFY(!QFile::exists(f->path("recent.dat")) && !QFile::exists(f->path("no")));
            }
        } else if (!after.isEmpty()) {
            QString state = shown(window).replace(f->dir.path() + '/', "");
            if (kind == "frmRMMulti") {
                const QString file = window ? window->document().path() : f->path("doc.ram");
                state += QFile::exists(file) ? " | " + f->read(QFileInfo(file).fileName()) : "";
                state += f->state.mainEditor->isEnabled() ? " | editor on" : "";
            }
            QCOMPARE(state, after);
        }
        if (window) {
            const QPoint step(qRound(200.0 * window->logicalDpiX() / 1440),
                              qRound(200.0 * window->logicalDpiY() / 1440));
            for (QWidget* each : f->state.editorWindows()) {
                made << each;
                QVERIFY(each == window || each->pos() == window->frameGeometry().topLeft() + step);
                QCOMPARE(each->size(),
                         kind == "frmMain" ? QSize(520, each->height()) : QSize(560, 380));
            }
        }
    }

    // The single-link editor's reader fills the shared window, appending to what it holds.
    void sharedWindow_filledByReader() {
        PlayListWindows windows(f->state);
        const QString three = f->write("three.ram", "A\r\nB\r\nC\r\n");
        windows.send({"A", "B", "C"}, three);
        frmRMMulti* window = windows.window();
        QVERIFY(window && window->isVisible() && !window->urlChanged());
        QVERIFY(!f->state.mainEditor->isEnabled());
        windows.send({"D"}, f->path("other.ram"));
        QCOMPARE(window->entries(), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(window->documentPath(), three);
        made << window;
    }
};

QTEST_MAIN(tst_editors)
#include "tst_editors.moc"
