#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

#include "Fixture.h"
#include "WebPages.h"
#include "frmMain.h"
#include "frmRMMulti.h"

using Answer = Prompts::Answer;

namespace {

const QString Base = QStringLiteral("Orvane Editor");
const QString Old = QStringLiteral("http://old/");
const QByteArray ShortcutOld = "[InternetShortcut]\r\nURL=http://old/\r\n";
const QString NoBrowser = QStringLiteral(
    "The link \"%1\" could not be opened: the desktop has no program that opens it.");

// The checked Link items, then the checked play-list items after a "p": "3 p1".
QString checkedItems(const frmMain* editor) {
    QStringList checked;
    for (int i = 0; i <= 10; ++i) {
        if ((i <= 8 ? editor->linkAction(i) : editor->playListAction(i - 9))->isChecked()) {
            checked << (i <= 8 ? QString::number(i) : QStringLiteral("p%1").arg(i - 9));
        }
    }
    return checked.join(QLatin1Char(' '));
}

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
}

}  // namespace

class tst_editors : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;
    QList<QPointer<QWidget>> made;

    AddressEditorWindow* make(const QString& kind) {
        AddressEditorWindow* window = kind == "frmMain"
                                          ? static_cast<AddressEditorWindow*>(new frmMain(f->state))
                                          : new frmRMMulti(f->state);
        made << window;
        return window;
    }
    frmMain* editor(const QString& address = Old, bool changed = true) {
        auto* window = static_cast<frmMain*>(make("frmMain"));
        window->setAddress(address);
        window->setUrlChanged(changed);
        return window;
    }
    static void bothWindows(const char* name) {
        for (const char* kind : {"frmMain", "frmRMMulti"}) {
            QTest::addRow("%s: %s", kind, name) << QString(kind);
        }
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
             {"Edit menu", "Ctrl+V", "Shift+Insert", "context menu", "middle click", "drop"}) {
            for (const char* kind : {"frmMain", "frmRMMulti"}) {
                QTest::addRow("%s: %s", kind, path) << QString(kind) << QString(path);
            }
        }
    }
    void addressBox_everyPathStripsLineBreaks() {
        QFETCH(QString, kind);
        QFETCH(QString, path);
        QClipboard* clipboard = QGuiApplication::clipboard();
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
        } else if (path == "Ctrl+V") {
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        } else if (path == "Shift+Insert") {
            QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
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
            if (!clipboard->supportsSelection()) {
                QSKIP("this platform has no selection clipboard");
            }
            clipboard->setText(twoLines, QClipboard::Selection);
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
    void addressBox_longAddressKeptWhole_data() {
        QTest::addColumn<QString>("kind");
        bothWindows("40,000 characters");
    }
    void addressBox_longAddressKeptWhole() {
        QFETCH(QString, kind);
        const QString address = "http://h/" + QString(40000, 'a');
        AddressEditorWindow* window = make(kind);
        window->setAddress(address);
        QCOMPARE(window->address(), address);
    }

    // Selection start and length (-1: the caret at `length`); the Edit items in order; the
    // clipboard before (null: no text); the address and clipboard after. "bar" first: the
    // menu bar takes the focus from the keyboard before the Edit menu opens.
    void editMenu_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("after");
        for (const char* kind : {"frmMain", "frmRMMulti"}) {
            const auto row = [kind](const char* name, int start, int length, const char* items,
                                    const QString& before, const char* address, const char* after) {
                QTest::addRow("%s: %s", kind, name)
                    << QString(kind) << start << length << items << before << address << after;
            };
            row("copy selection", 7, 3, "0", "zz", "http://abc", "abc");
            row("copy, nothing selected", -1, 0, "0", "zz", "http://abc", "");
            row("select all, cut", -1, 0, "4 1", "zz", "", "http://abc");
            row("paste over selection", 7, 3, "2", "xyz", "http://xyz", "xyz");
            row("paste at the caret", -1, 7, "2", "www.", "http://www.abc", "www.");
            row("paste, no text", -1, 7, "2", QString(), "http://abc", "");
            row("menu bar, copy", 0, 10, "bar 0", "zz", "http://abc", "http://abc");
            row("menu bar, paste over selection", 0, 7, "bar 2", "REPL", "REPLabc", "REPL");
        }
    }
    void editMenu() {
        QFETCH(QString, kind);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, items);
        QFETCH(QString, before);
        QFETCH(QString, address);
        QFETCH(QString, after);
        setClipboard(before);
        AddressEditorWindow* window = make(kind);
        window->setAddress("http://abc");
        window->setUrlChanged(false);
        start >= 0 ? window->txtURL->setSelection(start, length)
                   : window->txtURL->setCursorPosition(length);
        for (const QString& item : items.split(' ')) {
            if (item == "bar") {
                QFocusEvent out(QEvent::FocusOut, Qt::MenuBarFocusReason);
                QCoreApplication::sendEvent(window->txtURL, &out);
                emit window->mainMenu(1)->aboutToShow();
            } else {
                window->editAction(item.toInt())->trigger();
            }
        }
        QCOMPARE(window->address(), address);
        QCOMPARE(QGuiApplication::clipboard()->text(), after);
        QCOMPARE(window->urlChanged(), address != "http://abc");
    }

    // New Window, twice: each new window 200 twips right of and below the maker's frame, and
    // every window at its designed size once shown.
    void newWindow_cascadesAtDesignedSize_data() {
        QTest::addColumn<QString>("kind");
        bothWindows("two new windows");
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
        QVERIFY(step.x() > 0);
        const QList<QWidget*> windows = f->state.editorWindows();
        QCOMPARE(windows.size(), 3);
        for (QWidget* widget : windows) {
            made << widget;
            auto* each = static_cast<AddressEditorWindow*>(widget);
            if (each != window) {
                QCOMPARE(each->pos(), window->frameGeometry().topLeft() + step);
                QCOMPARE(each->windowTitle(), window->windowTitle());
                QVERIFY(!each->urlChanged());
            }
            if (kind == "frmMain") {
                QCOMPARE(each->width(), 520);
                QCOMPARE(each->address(), QStringLiteral("txtURL"));
                QCOMPARE(static_cast<frmMain*>(each)->noForm(), 1);
                QCOMPARE(checkedItems(static_cast<frmMain*>(each)), QStringLiteral("7"));
            } else {
                QCOMPARE(each->size(), QSize(560, 380));
                QCOMPARE(each->address(), QStringLiteral("http://"));
            }
        }
    }

    // What the View and Help items open; the web items say so when no browser opens them.
    void menus_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("opened");  // the window asked for, or the page opened
        const QString home = WebPages::productHome();
        for (const char* kind : {"frmMain", "frmRMMulti"}) {
            const auto row = [kind](const char* item, const QString& opened) {
                QTest::addRow("%s: %s", kind, item) << QString(kind) << item << opened;
            };
            row("view 0", "options");
            row("help 0", "help");
            row("help 1", home + "feedback.htm");
            row("help 2", home + "tech.htm");
            row("help 5", kind == QString("frmMain") ? "about modal" : "about");
            row("onWeb 0", home);
            row("onWeb 1", WebPages::makerHome());
            row("file 1, help 3, help 4, help 9", "");
        }
    }
    void menus() {
        QFETCH(QString, kind);
        QFETCH(QString, item);
        QFETCH(QString, opened);
        AddressEditorWindow* window = make(kind);
        f->shell.result = false;
        const bool page = opened.contains(':');
        if (page) {
            f->prompts.answerMessage(Answer::Ok);
        }
        for (const QString& step : item.split(", ")) {
            const int index = step.section(' ', 1).toInt();
            step.startsWith("view")   ? window->mnuView_Click(index)
            : step.startsWith("help") ? window->mnuHelp_Click(index)
            : step.startsWith("file") ? window->mnuFileM_Click(index)
                                      : window->mnuOnWeb_Click(index);
        }
        QCOMPARE((f->windows.calls + f->shell.opened).join(' '), opened);
        if (page) {
            QCOMPARE(f->prompts.calls.last().text, NoBrowser.arg(opened));
            QCOMPARE(f->prompts.calls.last().icon, Prompts::Icon::Warning);
        }
    }

    // ---- the single-link editor's own commands

    void open_data() {
        QTest::addColumn<QString>("name");  // "": the dialog cancelled
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("address");
        QTest::addColumn<LinkKind>("kind");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<bool>("titled");
        QTest::addColumn<bool>("kept");  // the window keeps its changed link
        QTest::addColumn<QString>("sent");
        const auto url = [](const char* address) {
            return QByteArray("[InternetShortcut]\r\nURL=") + address + "\r\n";
        };
        const LinkKind web = LinkKind::Web;
        const LinkKind none = LinkKind::Empty;
        QTest::newRow("web") << "a.url" << url("http://x/") << "http://x/" << web << "7" << true
                             << false << "";
        QTest::newRow("ftp checks FTP")
            << "a.url" << url("ftp://x/") << "ftp://x/" << web << "3" << true << false << "";
        QTest::newRow("capital .URL")
            << "a.URL" << url("http://x/") << "http://x/" << web << "7" << true << false << "";
        QTest::newRow("ram, one line") << "a.ram" << QByteArray("rtsp://x/\r\n") << "rtsp://x/"
                                       << LinkKind::RM << "7" << true << false << "";
        QTest::newRow("ram play list: to the play-list window")
            << "a.ram" << QByteArray("A\r\nB\r\n") << Old << none << "7" << false << true
            << "send A|B";
        QTest::newRow("not a link file")
            << "a.txt" << QByteArray("x\r\n") << Old << none << "7" << false << true << "";
        QTest::newRow("missing file")
            << "b.url" << NoFile << Old << none << "7" << false << true << "";
        QTest::newRow("dialog cancelled: clean")
            << "" << NoFile << Old << none << "7" << false << false << "";
    }
    void open() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, address);
        QFETCH(LinkKind, kind);
        QFETCH(QString, checked);
        QFETCH(bool, titled);
        QFETCH(bool, kept);
        QFETCH(QString, sent);
        if (bytes != NoFile) {
            f->write(name, bytes);
        }
        frmMain* window = editor();
        f->script("No open:" + name + (kept && sent.isEmpty() ? " Ok" : ""));
        window->fileAction(2)->trigger();
        QCOMPARE(f->prompts.calls.at(1).text,
                 QStringLiteral("Internet Link ( *.url )|*.url|RealMedia Link ( *.ram )|*.ram"));
        QCOMPARE(window->address(), address);
        QCOMPARE(window->linkKind(), kind);
        QCOMPARE(checkedItems(window), checked);
        QCOMPARE(window->windowTitle(), titled ? Base + " - " + f->path(name) : Base);
        QCOMPARE(window->urlChanged(), kept);
        QCOMPARE(f->windows.calls.join(' '), sent);
        if (kept && sent.isEmpty()) {
            QVERIFY(f->prompts.calls.last().text.contains(f->path(name)));
        }
    }

    void openLocalAndNewLink() {
        frmMain* window = editor(Old, false);
        window->setLinkKind(LinkKind::RM);
        window->document().setPath("/x/a.ram");
        f->script("open:a_b.txt");
        window->fileAction(3)->trigger();
        QCOMPARE(f->prompts.calls.last().text, QStringLiteral("All Files ( *.* )|*.*"));
        QCOMPARE(window->address(), "file://" + f->path("a_b.txt"));
        QVERIFY(window->urlChanged());
        QCOMPARE(window->windowTitle(), Base + " - /x/a.ram");
        QCOMPARE(window->linkKind(), LinkKind::RM);
        f->script("No");
        window->newAction(0)->trigger();
        QCOMPARE(f->windows.calls, QStringList{"wizard"});
        QCOMPARE(f->windows.wizardTarget, static_cast<LinkTarget*>(window));
    }

    // Both links have files, so Yes writes one back at once: which one shows the order.
    void closing_data() {
        QTest::addColumn<bool>("byExit");
        QTest::addColumn<bool>("onMain");
        QTest::addColumn<QString>("changed");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("stillOpen");  // none: the program ended
        QTest::addColumn<bool>("mainSaved");
        const QString both = QStringLiteral("main second");
        QTest::newRow("secondary, clean, title bar") << false << false << ""
                                                     << ""
                                                     << "main" << false;
        QTest::newRow("secondary, Exit, cancel") << true << false << "second"
                                                 << "Cancel" << both << false;
        QTest::newRow("main, clean, title bar: ends") << false << true << ""
                                                      << ""
                                                      << "" << false;
        QTest::newRow("main, title bar: asks the changed secondary") << false << true << "second"
                                                                     << "No"
                                                                     << "" << false;
        QTest::newRow("main, Exit: asks both") << true << true << both << "No No"
                                               << "" << false;
        QTest::newRow("main, Exit: main first, cancel keeps all")
            << true << true << both << "Yes Cancel" << both << true;
    }
    void closing() {
        QFETCH(bool, byExit);
        QFETCH(bool, onMain);
        QFETCH(QString, changed);
        QFETCH(QString, answers);
        QFETCH(QString, stillOpen);
        QFETCH(bool, mainSaved);
        QPointer<frmMain> main = editor();
        main->setNoForm(0);
        main->show();
        QPointer<frmMain> second = editor();
        second->show();
        for (frmMain* window : {main.data(), second.data()}) {
            const QString name = window == main ? QStringLiteral("main") : QStringLiteral("second");
            window->document().setPath(f->path(name));
            window->setUrlChanged(changed.contains(name));
        }
        f->script(answers);
        frmMain* target = onMain ? main.data() : second.data();
        byExit ? target->fileAction(7)->trigger() : (void)target->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(f->prompts.calls.size(), answers.count(' ') + int(!answers.isEmpty()));
        QCOMPARE(!main.isNull() && main->isVisible(), stillOpen.contains("main"));
        QCOMPARE(!second.isNull() && second->isVisible(), stillOpen.contains("second"));
        QCOMPARE(f->windows.calls, stillOpen.isEmpty() ? QStringList{"end"} : QStringList{});
        QCOMPARE(f->read("main"), mainSaved ? ShortcutOld : NoFile);
        QCOMPARE(f->read("second"), NoFile);
    }

    // The menu steps ("link N", "playlist N"); the address, checked items, kind and changed
    // mark afterwards. The rewriting of scheme words is the links tests' business.
    void linkMenu_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<LinkKind>("kind");
        QTest::addColumn<bool>("changed");
        const LinkKind web = LinkKind::Web;
        const LinkKind rm = LinkKind::RM;
        QTest::newRow("ftp from https") << "https://h"
                                        << "link 3"
                                        << "ftp://h"
                                        << "3" << web << true;
        QTest::newRow("ssl on https: unchanged") << "https://h"
                                                 << "link 8"
                                                 << "https://h"
                                                 << "8" << web << false;
        QTest::newRow("gopther, telnet") << "http://h"
                                         << "link 4,link 6"
                                         << "telnet://h"
                                         << "6" << web << true;
        QTest::newRow("without play list: FTP kept checked") << "ftp://h"
                                                             << "link 3,playlist 1"
                                                             << "http://h"
                                                             << "3 p1" << rm << true;
        QTest::newRow("with play list: address kept") << "ftp://h"
                                                      << "playlist 1,playlist 0"
                                                      << "http://h"
                                                      << "7 p0" << rm << true;
        QTest::newRow("kind switch keeps play-list marks") << "http://h"
                                                           << "playlist 1,link 7"
                                                           << "http://h"
                                                           << "7 p1" << web << false;
        QTest::newRow("separator, submenu, out of range") << "ftp://h"
                                                          << "link 2,link 5,link 9,playlist 2"
                                                          << "ftp://h"
                                                          << "7" << LinkKind::Empty << false;
    }
    void linkMenu() {
        QFETCH(QString, before);
        QFETCH(QString, steps);
        QFETCH(QString, after);
        QFETCH(QString, checked);
        QFETCH(LinkKind, kind);
        QFETCH(bool, changed);
        frmMain* window = editor(before, false);
        for (const QString& step : steps.split(',')) {
            const int index = step.section(' ', 1).toInt();
            step.startsWith("link") ? window->mnuLink_Click(index)
                                    : window->mnuPlayList_Click(index);
        }
        QCOMPARE(window->address(), after);
        QCOMPARE(checkedItems(window), checked);
        QCOMPARE(window->linkKind(), kind);
        QCOMPARE(window->urlChanged(), changed);
        QCOMPARE(f->windows.calls,
                 steps.contains("playlist 0") ? QStringList{"playList modal"} : QStringList{});
    }

    // Browse and Test hand the address on; Browse never starts a program.
    void browseAndTest_data() {
        QTest::addColumn<QString>("address");  // %1: the temporary folder
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("handed");
        QTest::addColumn<QString>("message");
        QTest::newRow("browse") << "foo:bar" << 0 << "foo:bar"
                                << "";
        QTest::newRow("browse an executable") << "file://%1/tool" << 0 << ""
                                              << "%1/tool";
        QTest::newRow("browse a launcher") << "%1/app.desktop" << 0 << ""
                                           << "%1/app.desktop";
        QTest::newRow("test") << "http://h/" << 1 << "test http://h/"
                              << "";
    }
    void browseAndTest() {
        QFETCH(QString, address);
        QFETCH(int, item);
        QFETCH(QString, handed);
        QFETCH(QString, message);
        f->write("tool", "x");
        f->write("app.desktop", "x");
        QFile::setPermissions(f->path("tool"), QFile::ReadOwner | QFile::ExeOwner);
        address.replace("%1", f->dir.path());
        if (!message.isEmpty()) {
            f->prompts.answerMessage(Answer::Ok);
        }
        editor(address)->linkAction(item)->trigger();
        QCOMPARE((f->shell.opened + f->windows.calls).join(' '), handed);
        QVERIFY(f->prompts.calls.isEmpty() ||
                f->prompts.calls.last().text.contains(message.replace("%1", f->dir.path())));
    }

    // Files dropped as a URL list, and text ("%1": the first file's URL). None changes the
    // title or the kind.
    void dropFiles_data() {
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("sent");
        const QString fromUrl = QStringLiteral("http://from-url/");
        QTest::newRow("one shortcut") << "a.url"
                                      << "" << fromUrl << true << "";
        QTest::newRow("three files, one-line ram first") << "one.ram a.url c.txt"
                                                         << ""
                                                         << "rtsp://one/" << false << "";
        QTest::newRow("three files, play list first")
            << "two.ram a.url"
            << "" << Old << false << "send rtsp://a/|rtsp://b/";
        QTest::newRow("not a link file") << "c.txt"
                                         << "" << Old << false << "";
        QTest::newRow("file manager: URL list and text") << "a.url"
                                                         << "%1" << fromUrl << true << "";
    }
    void dropFiles() {
        QFETCH(QString, files);
        QFETCH(QString, text);
        QFETCH(QString, address);
        QFETCH(bool, changed);
        QFETCH(QString, sent);
        f->write("a.url", "[InternetShortcut]\r\nURL=http://from-url/\r\n");
        f->write("one.ram", "rtsp://one/\r\n");
        f->write("two.ram", "rtsp://a/\r\nrtsp://b/\r\n");
        f->write("c.txt", "http://text-file/\r\n");
        frmMain* window = editor(Old, false);
        window->document().setPath("/x/old.url");
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files.split(' ')) {
            urls << QUrl::fromLocalFile(f->path(file));
        }
        data.setUrls(urls);
        if (!text.isEmpty()) {
            data.setText(urls.first().toString());
        }
        dropOn(window->txtURL, data);
        QCOMPARE(window->focusWidget(), window->txtURL);
        QTRY_COMPARE(window->address(), address);
        QCoreApplication::processEvents();
        QCOMPARE(window->urlChanged(), changed);
        QCOMPARE(f->windows.calls.join(' '), sent);
        QCOMPARE(window->windowTitle(), Base + " - /x/old.url");
        QCOMPARE(window->linkKind(), LinkKind::Empty);
    }
};

QTEST_MAIN(tst_editors)
#include "tst_editors.moc"
