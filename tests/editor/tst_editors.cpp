#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

#include "Fixture.h"
#include "WebPages.h"
#include "frmMain.h"
#include "frmRMMulti.h"

namespace {

const char* const Kinds[] = {"frmMain", "frmRMMulti"};

// "address | changed | file in the title | kind | checked Link items, then play-list items
// after a p" ("-": none).
QString shown(const frmMain* w) {
    QStringList checked;
    for (int i = 0; i <= 10; ++i) {
        if ((i <= 8 ? w->linkAction(i) : w->playListAction(i - 9))->isChecked()) {
            checked << (i <= 8 ? QString::number(i) : QStringLiteral("p%1").arg(i - 9));
        }
    }
    const QString file = w->windowTitle().section(" - ", 1);
    const QString kind = linkKindText(w->linkKind());
    return QStringList{w->address(), w->urlChanged() ? "changed" : "clean",
                       file.isEmpty() ? "-" : file, kind.isEmpty() ? "-" : kind, checked.join(' ')}
        .join(" | ");
}

// Clipboard data that is not only text, as a browser puts there; null: no text at all.
void setClipboard(const QString& text) {
    auto* data = new QMimeData;
    data->setData("application/x-orvane-test", "binary");
    if (!text.isNull()) {
        data->setText(text);
    }
    QGuiApplication::clipboard()->setMimeData(data);
}

void dropOn(QLineEdit* box, const QMimeData& data) {
    const QPoint at = box->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &drop);
    QCoreApplication::processEvents();  // the drop is read once the drag has ended
}

}  // namespace

// Both editor windows: what they share, each time against both, and the single-link
// editor's own menus and readers.
class tst_editors : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;
    QList<QPointer<QWidget>> made;

    AddressEditorWindow* make(const QString& kind, const QString& address = QString()) {
        AddressEditorWindow* window = kind == "frmMain"
                                          ? static_cast<AddressEditorWindow*>(new frmMain(f->state))
                                          : new frmRMMulti(f->state);
        made << window;
        if (!address.isNull()) {
            window->setAddress(address);
            window->setUrlChanged(false);
        }
        return window;
    }

private slots:
    void init() { f = std::make_unique<Fixture>(); }
    void cleanup() {
        const ScriptedPrompts prompts = f->prompts;
        for (const QPointer<QWidget>& window : made) {
            delete window.data();
        }
        made.clear();
        f.reset();
        checkCleanEnd(prompts);
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
    }

    // Every way text enters the address box leaves the breaks of a two-line text out.
    void addressBox_everyPathStripsLineBreaks_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("path");
        for (const char* path :
             {"Edit menu", "Ctrl+V", "Shift+Ins", "context menu", "middle click", "drop"}) {
            for (const char* kind : Kinds) {
                QTest::addRow("%s: %s", kind, path) << QString(kind) << QString(path);
            }
        }
    }
    void addressBox_everyPathStripsLineBreaks() {
        QFETCH(QString, kind);
        QFETCH(QString, path);
        const QString twoLines = QStringLiteral("http://a/\r\nhttp://b/\n");
        AddressEditorWindow* window = make(kind);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QLineEdit* box = window->txtURL;
        box->setFocus();
        box->selectAll();
        setClipboard(twoLines);
        if (path == "Edit menu") {
            window->editAction(2)->trigger();
        } else if (path.contains('+')) {
            QTest::keySequence(box, QKeySequence(path));
        } else if (path == "context menu") {
            QTimer::singleShot(50, [] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu);
                for (QAction* action : menu->actions()) {
                    if (action->text().startsWith("&Paste")) {
                        action->trigger();
                    }
                }
                menu->close();
            });
            QContextMenuEvent event(QContextMenuEvent::Mouse, box->rect().center(),
                                    box->mapToGlobal(box->rect().center()));
            QCoreApplication::sendEvent(box, &event);
        } else if (path == "middle click") {
            if (!QGuiApplication::clipboard()->supportsSelection()) {
                QSKIP("this platform has no selection clipboard");
            }
            QGuiApplication::clipboard()->setText(twoLines, QClipboard::Selection);
            box->clear();
            QTest::mouseClick(box, Qt::MiddleButton);
        } else {
            QMimeData data;
            data.setText(twoLines);
            dropOn(box, data);
        }
        QTRY_COMPARE(window->address(), QStringLiteral("http://a/http://b/"));
        QVERIFY(window->urlChanged());
    }

    // An address longer than a line edit's default limit is kept whole.
    void addressBox_longAddressKeptWhole() {
        const QString address = "http://h/" + QString(40000, 'a');
        QCOMPARE(make("frmMain", address)->address(), address);
    }

    // The Edit items in order on "http://abc" with a selection (start, length; start -1: the
    // caret at `length`), the clipboard holding "xyz" (null: no text); the address and the
    // clipboard after. "bar": the menu bar takes the focus before the Edit menu opens.
    void editMenu_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("items");
        QTest::addColumn<QPoint>("selection");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("after");  // address, clipboard
        for (const char* kind : Kinds) {
            const auto row = [kind](const char* name, const char* items, QPoint selection,
                                    const char* after, const QString& clipboard = "xyz") {
                QTest::addRow("%s: %s", kind, name)
                    << kind << items << selection << clipboard << after;
            };
            row("copy", "0", {7, 3}, "http://abc abc");
            row("select all, cut", "4 1", {-1, 0}, " http://abc");
            row("paste", "2", {7, 3}, "http://xyz xyz");
            row("paste at the caret, no text", "2", {-1, 7}, "http://abc ", QString());
            row("menu bar, copy", "bar 0", {0, 10}, "http://abc http://abc");
            row("menu bar, paste", "bar 2", {0, 7}, "xyzabc xyz");
        }
    }
    void editMenu() {
        QFETCH(QString, kind);
        QFETCH(QString, items);
        QFETCH(QPoint, selection);
        QFETCH(QString, clipboard);
        QFETCH(QString, after);
        setClipboard(clipboard);
        AddressEditorWindow* window = make(kind, "http://abc");
        selection.x() >= 0 ? window->txtURL->setSelection(selection.x(), selection.y())
                           : window->txtURL->setCursorPosition(selection.y());
        for (const QString& item : items.split(' ')) {
            if (item == "bar") {
                QFocusEvent out(QEvent::FocusOut, Qt::MenuBarFocusReason);
                QCoreApplication::sendEvent(window->txtURL, &out);
                emit window->mainMenu(1)->aboutToShow();
            } else {
                window->editAction(item.toInt())->trigger();
            }
        }
        QCOMPARE(window->address() + ' ' + QGuiApplication::clipboard()->text(), after);
        QCOMPARE(window->urlChanged(), !after.startsWith("http://abc "));
    }

    // New Window, twice: each new window 200 twips right of and below the maker's frame, and
    // every window at its designed size once shown.
    void newWindow_cascadesAtDesignedSize_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : Kinds) {
            QTest::newRow(kind) << QString(kind);
        }
    }
    void newWindow_cascadesAtDesignedSize() {
        QFETCH(QString, kind);
        AddressEditorWindow* window = make(kind);
        window->show();
        window->move(100, 80);
        window->newAction(1)->trigger();
        window->newAction(1)->trigger();
        const QPoint step(qRound(200.0 * window->logicalDpiX() / 1440),
                          qRound(200.0 * window->logicalDpiY() / 1440));
        const QList<QWidget*> windows = f->state.editorWindows();
        QCOMPARE(windows.size(), 3);
        for (QWidget* each : windows) {
            made << each;
            if (each != window) {
                QCOMPARE(each->pos(), window->frameGeometry().topLeft() + step);
            }
            QCOMPARE(each->size(),
                     kind == "frmMain" ? QSize(520, each->height()) : QSize(560, 380));
        }
    }

    // Menu items ("view N", "help N", "web N"; the single-link editor's "link N",
    // "playlist N") with a desktop that opens nothing: the windows asked for and pages
    // tried, the message, and the single-link editor afterwards. Scheme words are the links
    // tests' business. "%1": the temporary folder.
    void menus_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("handed");
        QTest::addColumn<QString>("after");  // shown(), or the message
        const QString feedback = WebPages::productHome() + "feedback.htm";
        const QString noBrowser = QStringLiteral(
            "The link \"%1\" could not be opened: the desktop has no program that opens it.");
        for (const char* kind : Kinds) {
            const auto row = [kind](const char* items, const QString& handed,
                                    const QString& said = "") {
                QTest::addRow("%s: %s", kind, items) << kind << "" << items << handed << said;
            };
            row("view 0", "options");
            row("help 0", "help");
            row("help 1", feedback, noBrowser.arg(feedback));
            row("help 5", kind == QString("frmMain") ? "about modal" : "about");
            row("web 1", WebPages::makerHome(), noBrowser.arg(WebPages::makerHome()));
        }
        const char* frmMain = "frmMain";
        row("with play list", frmMain, "ftp://h", "playlist 1, playlist 0", "playList modal",
            "http://h | changed | - | RM | 7 p0");
        row("kind switch keeps the play-list mark", frmMain, "http://h", "playlist 1, link 7", "",
            "http://h | clean | - | Web | 7 p1");
        row("test", frmMain, "http://h/", "link 1", "test http://h/",
            "http://h/ | clean | - | - | 7");
        row("browse an executable", frmMain, "file://%1/tool", "link 0", "", "(%1/tool)");
    }
    void menus() {
        QFETCH(QString, kind);
        QFETCH(QString, address);
        QFETCH(QString, items);
        QFETCH(QString, handed);
        QFETCH(QString, after);
        f->write("tool", "x");
        QFile::setPermissions(f->path("tool"), QFile::ReadOwner | QFile::ExeOwner);
        AddressEditorWindow* window = make(kind, address.replace("%1", f->dir.path()));
        f->shell.result = false;
        const bool said = !after.isEmpty() && !after.contains(" | ");
        f->script(said ? "Ok" : "");
        for (const QString& step : items.split(", ")) {
            const int index = step.section(' ', 1).toInt();
            step.startsWith("view")   ? window->viewAction(index)->trigger()
            : step.startsWith("help") ? window->helpAction(index)->trigger()
            : step.startsWith("web")  ? window->onWebAction(index)->trigger()
            : step.startsWith("link")
                ? static_cast<frmMain*>(window)->linkAction(index)->trigger()
                : static_cast<frmMain*>(window)->playListAction(index)->trigger();
        }
        QCOMPARE((f->windows.calls + f->shell.opened).join(' '), handed);
        after.replace("%1", f->dir.path());
        QCOMPARE(f->prompts.calls.size(), int(said));
        QVERIFY(after.isEmpty() || (said ? f->prompts.calls.last().text.contains(after)
                                         : shown(static_cast<frmMain*>(window)) == after));
    }

    // The play-list window takes dropped text but no file: the editor that would read it is
    // off while the play list is open.
    void playList_refusesDroppedFiles() {
        AddressEditorWindow* window = make("frmRMMulti", "http://old/");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(f->write("a.url", "x"))});
        data.setText(data.urls().first().toString());
        dropOn(window->txtURL, data);
        QCOMPARE(window->address(), QStringLiteral("http://old/"));
    }

    // The single-link editor, changed and titled old.url, reads files by File > Open (after
    // No to the question) or by a drop (of files, and their URL as text as a file manager
    // drops): a play list goes to the play-list window; what cannot be read is said (Ok) and
    // leaves the window as it was. Paths are shown relative to the temporary folder.
    void readers_data() {
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("how");    // open, or drop (drop+text) with the files
        QTest::addColumn<QString>("after");  // shown(), then what went to other windows
        const QString kept = QStringLiteral("http://old/ | changed | old.url | - | 7");
        row("open web", "No open:a.url", "open", "http://x/ | clean | a.url | Web | 7");
        row("open ftp", "No open:f.url", "open", "ftp://x/ | clean | f.url | Web | 3");
        row("open ram", "No open:one.ram", "open", "rtsp://one/ | clean | one.ram | RM | 7");
        row("open play list", "No open:two.ram", "open", kept + " send A|B");
        row("open not a link file", "No open:c.txt Ok", "open", kept);
        row("open cancelled: clean", "No open:", "open", "http://old/ | clean | old.url | - | 7");
        row("drop shortcut", "", "drop a.url", "http://x/ | changed | old.url | - | 7");
        row("drop ram first", "", "drop one.ram a.url", "rtsp://one/ | clean | old.url | - | 7");
        row("drop play list first", "", "drop two.ram a.url", kept + " send A|B");
        row("drop file and text", "", "drop+text a.url", "http://x/ | changed | old.url | - | 7");
    }
    void readers() {
        QFETCH(QString, answers);
        QFETCH(QString, how);
        QFETCH(QString, after);
        f->write("a.url", "[InternetShortcut]\r\nURL=http://x/\r\n");
        f->write("f.url", "[InternetShortcut]\r\nURL=ftp://x/\r\n");
        f->write("one.ram", "rtsp://one/\r\n");
        f->write("two.ram", "A\r\nB\r\n");
        f->write("c.txt", "http://text-file/\r\n");
        auto* window = static_cast<frmMain*>(make("frmMain", "http://old/"));
        window->setUrlChanged(true);
        window->document().setPath(f->path("old.url"));
        f->script(answers);
        if (how.startsWith("drop")) {
            QList<QUrl> urls;
            for (const QString& file : how.split(' ').mid(1)) {
                urls << QUrl::fromLocalFile(f->path(file));
            }
            QMimeData data;
            data.setUrls(urls);
            if (how.startsWith("drop+text")) {
                data.setText(urls.first().toString());
            }
            dropOn(window->txtURL, data);
        } else {
            window->fileAction(2)->trigger();
        }
        const QString shownAfter = shown(window).replace(f->dir.path() + '/', "");
        QCOMPARE((QStringList{shownAfter} + f->windows.calls).join(' '), after);
        QVERIFY(how != "open" ||
                f->prompts.calls.at(1).text ==
                    "Internet Link ( *.url )|*.url|RealMedia Link ( *.ram )|*.ram");
        QVERIFY(!answers.endsWith("Ok") || f->prompts.calls.last().text.contains(f->path("c.txt")));
    }
};

QTEST_MAIN(tst_editors)
#include "tst_editors.moc"
