#include "Fixture.h"
#include "WebPages.h"
#include "frmMain.h"
#include "frmRMMulti.h"

namespace {

const char* const Kinds[] = {"frmMain", "frmRMMulti"};

// "address | changed | file in the title", and the single-link editor's "| kind | checked
// Link items, then play-list items after a p" ("-": none).
QString shown(const AddressEditorWindow* window) {
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
    }
    return parts.join(" | ");
}

// The menu item "file N", "view N", "help N", "web N", "link N" or "playlist N".
QAction* item(AddressEditorWindow* window, const QString& name) {
    const int i = name.section(' ', 1).toInt();
    auto* w = qobject_cast<frmMain*>(window);
    return name.startsWith("file")   ? window->fileAction(i)
           : name.startsWith("view") ? window->viewAction(i)
           : name.startsWith("help") ? window->helpAction(i)
           : name.startsWith("web")  ? window->onWebAction(i)
           : name.startsWith("link") ? w->linkAction(i)
                                     : w->playListAction(i);
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

// The same row for both windows, the window's kind first.
template <typename... Values>
void rowForKinds(const char* name, const Values&... values) {
    for (const char* kind : Kinds) {
        ((QTest::addRow("%s: %s", kind, name) << QString(kind)) << ... << values);
    }
}

// A drop of text (null: none) and files, as a file manager or browser drops.
void drop(QLineEdit* box, const QString& text, const QList<QUrl>& files = {}) {
    QMimeData data;
    if (!files.isEmpty()) {
        data.setUrls(files);
    }
    if (!text.isNull()) {
        data.setText(text);
    }
    const QPoint at = box->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
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
        if (!address.isNull()) {
            window->setAddress(address);
            window->setUrlChanged(false);
        }
        return window;
    }

private slots:
    void init() { f = std::make_unique<Fixture>(); }
    void cleanup() {
        const int pending = f->prompts.pendingAnswers();
        qDeleteAll(made);
        made.clear();
        f.reset();
        checkCleanEnd(pending);
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
    }

    // Edit items ("0" to "4"), keys, the box's context menu ("menu"), a middle click and a
    // drop, in order, on "http://abc" with a selection (start, length; start -1: the caret at
    // `length`) and the clipboard holding `clipboard` (null: no text); the address and the
    // clipboard after. "bar": the menu bar takes the focus before the Edit menu opens. Every
    // way text enters the box leaves the breaks of a two-line text out.
    void addressBox_data() {
        columns<QString, QString, QPoint, QString, QString>("kind", "steps", "selection",
                                                            "clipboard", "after");
        const QString xyz = QStringLiteral("xyz"), twoLines = QStringLiteral("x\r\ny\n");
        rowForKinds("select all, cut", "4 1", QPoint(-1, 0), xyz, " http://abc");
        rowForKinds("paste at the caret, no text", "2", QPoint(-1, 7), QString(), "http://abc ");
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
        setClipboard(clipboard);
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

    // New Window, twice: each new window 200 twips right of and below the maker's frame, and
    // every window at its designed size once shown.
    void newWindow_cascadesAtDesignedSize_data() {
        columns<QString>("kind");
        rowForKinds("twice");
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

    // Menu items and drops on a window holding `address` (null: the window's own), changed
    // and titled old.url, with a desktop that opens nothing: the windows asked for and pages
    // tried, then shown() with paths relative to the temporary folder, or the message. A play
    // list read goes to the play-list window; the play-list window takes no dropped file (the
    // editor that would read it is off while it is open).
    void commands_data() {
        columns<QString, QString, QString, QString, QString, QString>("kind", "address", "answers",
                                                                      "steps", "handed", "after");
        const QString feedback = WebPages::productHome() + "feedback.htm";
        const QString noBrowser = QStringLiteral(
            "The link \"%1\" could not be opened: the desktop has no program that opens it.");
        const QString old = QStringLiteral("http://old/ | changed | old.url");
        const QString none;
        rowForKinds("view 0", none, "", "view 0", "options", "");
        rowForKinds("help 0", none, "", "help 0", "help", "");
        rowForKinds("help 1", none, "Ok", "help 1", feedback, noBrowser.arg(feedback));
        rowForKinds("web 1", none, "Ok", "web 1", WebPages::makerHome(),
                    noBrowser.arg(WebPages::makerHome()));
        const char* frmMain = "frmMain";
        row("about over the editor", frmMain, none, "", "help 5", "about modal", "");
        row("about over the play list", "frmRMMulti", none, "", "help 5", "about", "");
        row("play list refuses a dropped file", "frmRMMulti", "http://old/", "", "drop+text a.url",
            "", old);
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
    }
    void commands() {
        auto [kind, address, answers, steps, handed, after] =
            fetch<QString, QString, QString, QString, QString, QString>(
                "kind", "address", "answers", "steps", "handed", "after");
        f->write("a.url", "[InternetShortcut]\r\nURL=http://x/\r\n");
        f->write("one.ram", "rtsp://one/\r\n");
        f->write("two.ram", "A\r\nB\r\n");
        f->write("tool", "x");
        QFile::setPermissions(f->path("tool"), QFile::ReadOwner | QFile::ExeOwner);
        AddressEditorWindow* window = make(kind, address.replace("%1", f->dir.path()));
        window->setUrlChanged(true);
        window->document().setPath(f->path("old.url"));
        f->shell.result = false;
        f->script(answers);
        for (const QString& step : steps.split(", ")) {
            QList<QUrl> files;  // "drop" ("drop+text": and their URL as text) with the files
            for (const QString& file : step.split(' ').mid(1)) {
                files << QUrl::fromLocalFile(f->path(file));
            }
            if (step.startsWith("drop")) {
                const bool text = step.startsWith("drop+text");
                drop(window->txtURL, text ? files.first().toString() : QString(), files);
            } else {
                item(window, step)->trigger();
            }
        }
        QCOMPARE((f->windows.calls + f->shell.opened).join(' '), handed);
        QVERIFY(steps != "file 2" ||
                f->prompts.calls.value(1).text ==
                    "Internet Link ( *.url )|*.url|RealMedia Link ( *.ram )|*.ram");
        if (answers.endsWith("Ok")) {  // the message names what it is about
            const QString said = f->prompts.calls.isEmpty() ? "" : f->prompts.calls.last().text;
            QVERIFY2(said.contains(after.replace("%1", f->dir.path())), qPrintable(said));
        } else if (!after.isEmpty()) {
            QCOMPARE(shown(window).replace(f->dir.path() + '/', ""), after);
        }
    }
};

QTEST_MAIN(tst_editors)
#include "tst_editors.moc"
