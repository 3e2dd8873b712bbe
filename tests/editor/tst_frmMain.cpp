#include <QClipboard>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <tuple>

#include "AppState.h"
#include "IniSettingsBackend.h"
#include "RecordingShell.h"
#include "Registry.h"
#include "ScriptedPrompts.h"
#include "frmMain.h"

using Answer = Prompts::Answer;

namespace {

const QString Base = QStringLiteral("Orvane Editor");
const QString Old = QStringLiteral("http://old/");
const QByteArray NoFile = "<missing>";
const QByteArray ShortcutOld = "[InternetShortcut]\r\nURL=http://old/\r\n";
const QByteArray ShortcutKeys = ShortcutOld + "IconIndex=1\r\n";
const QByteArray ShortcutA = "[InternetShortcut]\r\nURL=http://a/\r\n";

QString titleFor(const QString& path) {
    return Base + QStringLiteral(" - ") + path;
}

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

// Prompts, shell, settings and the recent list in a temporary folder; one per test.
struct Bed {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    RecordingShell shell;
    IniSettingsBackend settings{dir.filePath(QStringLiteral("user.conf")), QString()};
    Registry registry{settings};
    AppState state{prompts, shell, registry};
    QList<QPointer<frmMain>> made;

    Bed() { state.recentFile = path(QStringLiteral("recent.dat")); }
    frmMain* editor(const QString& address = Old, bool changed = true) {
        auto* window = new frmMain(state);
        made.append(window);
        window->setAddress(address);
        window->setUrlChanged(changed);
        return window;
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : NoFile;
    }
};

// Save As or Save; titled (file "a" holds ShortcutKeys); kind; changed; the save dialog's
// filter, answered with "a" ("-": none shown; "": cancelled); the bytes of "a" afterwards.
using SaveCase = std::tuple<bool, bool, LinkKind, bool, QString, QByteArray>;
// The file chosen ("": the dialog cancelled) and its bytes (NoFile: none); then the address,
// kind, checked items and whether titled; whether the window keeps its changed link (with a
// message unless the file went to the play list); the entries sent to the play list.
using OpenCase =
    std::tuple<QString, QByteArray, QString, LinkKind, QString, bool, bool, QStringList>;
// File > Exit or the title bar; on the main window or the secondary; the windows holding a
// changed link; the answers; the windows still open (none: the program ended); main saved.
using ClosingCase = std::tuple<bool, bool, QString, QList<Answer>, QString, bool>;
// The address; the menu steps ("link N", "playlist N"); the address, checked items, kind and
// changed mark afterwards.
using SwitchCase = std::tuple<QString, QString, QString, QString, LinkKind, bool>;
// Selection start (-1: none, the caret at `length`) and length; mnuEdit items in order; the
// clipboard's text before (null: no text at all); the address and clipboard text after.
using ClipboardCase = std::tuple<int, int, QString, QString, QString, QString>;
// The files dropped as a URL list, and the text dropped ("%1": the first file's URL); the
// address and changed mark afterwards; the entries sent to the play list.
using DropCase = std::tuple<QString, QString, QString, bool, QStringList>;

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT
    std::unique_ptr<Bed> bed;

private slots:
    void init() { bed = std::make_unique<Bed>(); }
    // Windows the code opened must be gone once closed, and every answer was asked for.
    void cleanup() {
        const int pending = bed->prompts.pendingAnswers();
        for (const QPointer<frmMain>& window : bed->made) {
            delete window.data();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QWidgetList windows = QApplication::topLevelWidgets();
        const QList<QPointer<QWidget>> left(windows.begin(), windows.end());
        const QString first = left.isEmpty() ? QString() : left.first()->metaObject()->className();
        for (const QPointer<QWidget>& window : left) {
            if (window && window->parentWidget() == nullptr) {
                delete window.data();
            }
        }
        bed.reset();
        QVERIFY2(left.isEmpty(), qPrintable(first));
        QCOMPARE(pending, 0);
    }

    void newWindow_startsUntitledAndCascades200Twips() {
        frmMain* editor = bed->editor();
        editor->setNoForm(0);
        editor->show();
        editor->move(100, 80);
        editor->newAction(1)->trigger();
        editor->newAction(1)->trigger();
        const QPoint step(qRound(200.0 * editor->logicalDpiX() / 1440),
                          qRound(200.0 * editor->logicalDpiY() / 1440));
        QVERIFY(step.x() > 0);
        const QList<QWidget*> windows = bed->state.editorWindows();
        QCOMPARE(windows.size(), 3);
        for (QWidget* widget : windows.mid(1)) {
            auto* window = qobject_cast<frmMain*>(widget);
            QCOMPARE(window->pos(), editor->pos() + step);
            QCOMPARE(window->windowTitle(), Base);
            QCOMPARE(window->address(), QStringLiteral("txtURL"));
            QCOMPARE(window->txtURL->toolTip(), QStringLiteral("Enter Your  Link Here"));
            QCOMPARE(window->linkKind(), LinkKind::Empty);
            QVERIFY(!window->urlChanged());
            QCOMPARE(window->noForm(), 1);
            QCOMPARE(checkedItems(window), QStringLiteral("7"));
            window->close();
        }
    }

    // Every way through the unsaved-changes prompt, in "Load" (commands) and "Unload"
    // (closing) mode, and a save that fails while the window closes.
    void prompt_paths_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("saveTo");  // the save dialog's answer after Yes
        QTest::addColumn<bool>("goesOn");
        for (const char* command : {"open", "openLocal", "newLink", "close"}) {
            QTest::addRow("%s: yes, saved", command) << command << Answer::Yes << "a.url" << true;
            // Yes and then no file: the command stops, so the address is not replaced.
            QTest::addRow("%s: yes, dialog cancelled", command)
                << command << Answer::Yes << QString() << false;
            QTest::addRow("%s: no", command) << command << Answer::No << QString() << true;
            QTest::addRow("%s: cancel", command) << command << Answer::Cancel << QString() << false;
        }
        QTest::newRow("close: yes, save fails") << "close" << Answer::Yes << "gone/a.url" << false;
    }
    void prompt_paths() {
        QFETCH(QString, command);
        QFETCH(Answer, answer);
        QFETCH(QString, saveTo);
        QFETCH(bool, goesOn);
        int wizardShown = 0;
        bed->state.showWizard = [&](QWidget*) { ++wizardShown; };
        QPointer<frmMain> editor = bed->editor(QStringLiteral("http://a/"));
        bed->prompts.answerMessage(answer);
        if (answer == Answer::Yes) {
            bed->prompts.answerSave(saveTo.isEmpty() ? QString() : bed->path(saveTo));
        }
        const bool fails = saveTo.contains(QLatin1Char('/'));
        if (fails) {
            bed->prompts.answerMessage(Answer::Ok);
        }
        if (goesOn && command.startsWith("open")) {
            bed->prompts.answerOpen(QString());
        }
        if (command == "close") {
            editor->close();
        } else if (command == "newLink") {
            editor->newAction(0)->trigger();
        } else {
            editor->fileAction(command == "open" ? 2 : 3)->trigger();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const ScriptedPrompts::Call call = bed->prompts.calls.first();
        QCOMPARE(call.text,
                 QStringLiteral("You have not yet saved your link. Do you want to save it now ?"));
        QCOMPARE(call.title, Base);
        QCOMPARE(call.icon, Prompts::Icon::Question);
        QCOMPARE(call.buttons, Prompts::Buttons::YesNoCancel);
        QCOMPARE(wizardShown, command == "newLink" && goesOn ? 1 : 0);
        if (command == "close") {
            QCOMPARE(editor.isNull(), goesOn);
        }
        const bool saved = saveTo == "a.url";
        QCOMPARE(bed->read("a.url"), saved ? ShortcutA : NoFile);
        QCOMPARE(int(bed->read("recent.dat").count("\r\n")), saved ? 1 : 0);
        if (fails) {
            QVERIFY(bed->prompts.calls.last().text.contains(bed->path(saveTo)));
            QCOMPARE(editor->windowTitle(), Base);
            QVERIFY(editor->urlChanged());
        }
    }

    // Only a path chosen in the save dialog joins the recent list.
    void save_data() {
        QTest::addColumn<SaveCase>("c");
        const auto row = [](const char* name, const SaveCase& c) { QTest::newRow(name) << c; };
        const QString url = QStringLiteral("Internet Link ( *.url )|*.url");
        const QByteArray rm = "http://a/\r\n";
        const LinkKind web = LinkKind::Web;
        row("untitled", {false, false, web, true, url, ShortcutA});
        row("untitled, no kind", {false, false, LinkKind::Empty, true, url, ShortcutA});
        row("untitled RealMedia",
            {false, false, LinkKind::RM, true, "RealPlayer Link ( *.ram )|*.ram", rm});
        row("untitled, cancelled", {false, false, web, true, "", ShortcutKeys});
        row("titled: back, keys kept",
            {false, true, web, true, "-", ShortcutA + "IconIndex=1\r\n"});
        row("titled RealMedia", {false, true, LinkKind::RM, true, "-", rm});
        row("titled, clean: nothing", {false, true, web, false, "-", ShortcutKeys});
        row("save as: two lines", {true, true, web, false, url, ShortcutA});
    }
    void save() {
        QFETCH(SaveCase, c);
        const auto& [saveAs, titled, kind, changed, filter, bytes] = c;
        bed->write("a", ShortcutKeys);
        frmMain* editor = bed->editor(QStringLiteral("http://a/"), changed);
        editor->setLinkKind(kind);
        const QString file = bed->path("a");
        if (titled) {
            editor->setWindowTitle(titleFor(file));
        }
        const bool chosen = filter != "-" && !filter.isEmpty();
        if (filter != "-") {
            bed->prompts.answerSave(chosen ? file : QString());
        }
        editor->fileAction(saveAs ? 5 : 4)->trigger();
        if (chosen) {
            QCOMPARE(bed->prompts.calls.first().text, filter);
        }
        QCOMPARE(bed->read("a"), bytes);
        QCOMPARE(int(bed->read("recent.dat").count("\r\n")), chosen ? 1 : 0);
        QCOMPARE(editor->windowTitle(), chosen || titled ? titleFor(file) : Base);
        QCOMPARE(editor->urlChanged(), changed && bytes == ShortcutKeys);
    }

    void open_data() {
        QTest::addColumn<OpenCase>("c");
        const auto row = [](const char* name, const OpenCase& c) { QTest::newRow(name) << c; };
        const auto url = [](const char* address) {
            return QByteArray("[InternetShortcut]\r\nURL=") + address + "\r\n";
        };
        const LinkKind web = LinkKind::Web;
        const LinkKind none = LinkKind::Empty;
        row("web", {"a.url", url("http://x/"), "http://x/", web, "7", true, false, {}});
        row("ftp checks FTP", {"a.url", url("ftp://x/"), "ftp://x/", web, "3", true, false, {}});
        row("capital FTP: Web", {"a.url", url("FTP://x/"), "FTP://x/", web, "7", true, false, {}});
        row("capital .URL", {"a.URL", url("http://x/"), "http://x/", web, "7", true, false, {}});
        row("ram, one line",
            {"a.ram", "rtsp://x/\r\n", "rtsp://x/", LinkKind::RM, "7", true, false, {}});
        row("ram play list: to the play-list window",
            {"a.ram", "A\r\nB\r\n", Old, none, "7", false, true, {"A", "B"}});
        row("not a link file", {"a.txt", "http://x/\r\n", Old, none, "7", false, true, {}});
        row("missing file", {"b.url", NoFile, Old, none, "7", false, true, {}});
        row("dialog cancelled: clean", {"", NoFile, Old, none, "7", false, false, {}});
    }
    void open() {
        QFETCH(OpenCase, c);
        const auto& [name, bytes, address, kind, checked, titled, kept, toPlayList] = c;
        const QString file = bed->path(name);
        if (bytes != NoFile) {
            bed->write(name, bytes);
        }
        QStringList sent;
        QString sentPath;
        bed->state.sendToPlayList = [&](const QStringList& entries, const QString& path) {
            sent = entries;
            sentPath = path;
        };
        frmMain* editor = bed->editor();
        bed->prompts.answerMessage(Answer::No);
        bed->prompts.answerOpen(name.isEmpty() ? QString() : file);
        const bool message = kept && toPlayList.isEmpty();
        if (message) {
            bed->prompts.answerMessage(Answer::Ok);
        }
        editor->fileAction(2)->trigger();
        QCOMPARE(bed->prompts.calls.at(1).text,
                 QStringLiteral("Internet Link ( *.url )|*.url|RealMedia Link ( *.ram )|*.ram"));
        QCOMPARE(editor->address(), address);
        QCOMPARE(editor->linkKind(), kind);
        QCOMPARE(checkedItems(editor), checked);
        QCOMPARE(editor->windowTitle(), titled ? titleFor(file) : Base);
        QCOMPARE(editor->urlChanged(), kept);
        QCOMPARE(sent, toPlayList);
        QCOMPARE(sentPath, sent.isEmpty() ? QString() : file);
        if (message) {
            QVERIFY(bed->prompts.calls.last().text.contains(file));
        }
    }

    void openLocal_keepsTitleAndKind() {
        frmMain* editor = bed->editor(Old, false);
        editor->setLinkKind(LinkKind::RM);
        editor->setWindowTitle(titleFor("/x/a.ram"));
        bed->prompts.answerOpen("/home/u/a b.txt");
        editor->fileAction(3)->trigger();
        QCOMPARE(bed->prompts.calls.last().text, QStringLiteral("All Files ( *.* )|*.*"));
        QCOMPARE(editor->address(), QStringLiteral("file:///home/u/a b.txt"));
        QVERIFY(editor->urlChanged());
        QCOMPARE(editor->windowTitle(), titleFor("/x/a.ram"));
        QCOMPARE(editor->linkKind(), LinkKind::RM);
    }

    // Both links have files, so Yes writes one back at once: which one shows the order.
    void closing_data() {
        QTest::addColumn<ClosingCase>("c");
        const auto row = [](const char* name, const ClosingCase& c) { QTest::newRow(name) << c; };
        const QString both = QStringLiteral("main second");
        row("secondary, clean, title bar", {false, false, "", {}, "main", false});
        row("secondary, Exit, cancel", {true, false, "second", {Answer::Cancel}, both, false});
        row("main, clean, title bar: ends", {false, true, "", {}, "", false});
        row("main, title bar: asks the changed secondary",
            {false, true, "second", {Answer::No}, "", false});
        row("main, Exit: asks both", {true, true, both, {Answer::No, Answer::No}, "", false});
        row("main, Exit: main first, cancel keeps all",
            {true, true, both, {Answer::Yes, Answer::Cancel}, both, true});
    }
    void closing() {
        QFETCH(ClosingCase, c);
        const auto& [byExit, onMain, changed, answers, stillOpen, mainSaved] = c;
        int quits = 0;
        bed->state.quitApplication = [&] { ++quits; };
        QPointer<frmMain> main = bed->editor();
        main->setNoForm(0);
        main->show();
        main->newAction(1)->trigger();
        QPointer<frmMain> second = qobject_cast<frmMain*>(bed->state.editorWindows().last());
        for (frmMain* window : {main.data(), second.data()}) {
            const QString name = window == main ? QStringLiteral("main") : QStringLiteral("second");
            window->setWindowTitle(titleFor(bed->path(name)));
            window->setAddress(Old);
            window->setUrlChanged(changed.contains(name));
        }
        for (Answer answer : answers) {
            bed->prompts.answerMessage(answer);
        }
        frmMain* target = onMain ? main.data() : second.data();
        if (byExit) {
            target->fileAction(7)->trigger();
        } else {
            target->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(bed->prompts.calls.size(), answers.size());
        QCOMPARE(!main.isNull() && main->isVisible(), stillOpen.contains("main"));
        QCOMPARE(!second.isNull() && second->isVisible(), stillOpen.contains("second"));
        QCOMPARE(quits, stillOpen.isEmpty() ? 1 : 0);
        QCOMPARE(bed->read("main"), mainSaved ? ShortcutOld : NoFile);
        QCOMPARE(bed->read("second"), NoFile);
        delete second.data();
    }

    void switching_data() {
        QTest::addColumn<SwitchCase>("c");
        const auto row = [](const char* name, const SwitchCase& c) { QTest::newRow(name) << c; };
        const LinkKind web = LinkKind::Web;
        const LinkKind rm = LinkKind::RM;
        row("web from ftp", {"ftp://h/p", "link 7", "http://h/p", "7", web, true});
        row("web from gopther", {"gopther://h", "link 7", "http://h", "7", web, true});
        row("web from telnet", {"telnet://h", "link 7", "http://h", "7", web, true});
        row("web from https", {"https://h", "link 7", "http://h", "7", web, true});
        row("web on http", {"http://h", "link 7", "http://h", "7", web, false});
        row("web, no scheme word", {"mailto:a@h", "link 7", "mailto:a@h", "7", web, false});
        row("web in a new window", {"txtURL", "link 7", "txtURL", "7", web, false});
        row("ftp from https: no s", {"https://h", "link 3", "ftp://h", "3", web, true});
        row("ssl on https", {"https://h", "link 8", "https://h", "8", web, false});
        row("ssl from http", {"http://h", "link 8", "https://h", "8", web, true});
        row("telnet from gopther", {"gopther://h", "link 6", "telnet://h", "6", web, true});
        row("capital FTP never rewritten",
            {"FTP://h", "link 4,link 8,playlist 1", "FTP://h", "8 p1", rm, false});
        row("without play list: FTP kept checked",
            {"ftp://h", "link 3,playlist 1", "http://h", "3 p1", rm, true});
        row("without play list on https",
            {"https://h", "playlist 1", "https://h", "7 p1", rm, false});
        row("with play list: address kept",
            {"ftp://h", "playlist 1,playlist 0", "http://h", "7 p0", rm, true});
        row("kind switch keeps play-list marks",
            {"http://h", "playlist 1,link 4", "gopther://h", "4 p1", web, true});
        row("separator, submenu, out of range",
            {"ftp://h", "link 2,link 5,link 9,playlist 2", "ftp://h", "7", LinkKind::Empty, false});
    }
    void switching() {
        QFETCH(SwitchCase, c);
        const auto& [before, steps, after, checked, kind, changed] = c;
        int shownModally = 0;
        bed->state.showPlayList = [&](bool modal) { shownModally += modal ? 1 : 100; };
        frmMain* editor = bed->editor(before, false);
        for (const QString& step : steps.split(QLatin1Char(','))) {
            const int index = step.section(QLatin1Char(' '), 1).toInt();
            if (step.startsWith("link")) {
                editor->mnuLink_Click(index);
            } else {
                editor->mnuPlayList_Click(index);
            }
        }
        QCOMPARE(editor->address(), after);
        QCOMPARE(checkedItems(editor), checked);
        QCOMPARE(editor->linkKind(), kind);
        QCOMPARE(editor->urlChanged(), changed);
        QCOMPARE(shownModally, int(steps.count(QStringLiteral("playlist 0"))));
    }

    // Browse hands the address to the desktop, but never starts a program.
    void browse_data() {
        QTest::addColumn<QString>("address");  // %1: the temporary folder
        QTest::addColumn<bool>("refused");     // else the desktop fails to open it
        QTest::addColumn<QString>("message");  // a piece of it
        QTest::newRow("desktop cannot open it")
            << "foo:bar" << false << "\"foo:bar\" could not be opened";
        QTest::newRow("executable file") << "file://%1/tool" << true << "%1/tool";
        QTest::newRow("desktop launcher") << "%1/app.desktop" << true << "%1/app.desktop";
    }
    void browse() {
        QFETCH(QString, address);
        QFETCH(bool, refused);
        QFETCH(QString, message);
        bed->write("tool", "x");
        bed->write("app.desktop", "x");
        QFile::setPermissions(bed->path("tool"), QFile::ReadOwner | QFile::ExeOwner);
        address.replace("%1", bed->dir.path());
        message.replace("%1", bed->dir.path());
        bed->shell.result = false;
        bed->prompts.answerMessage(Answer::Ok);
        bed->editor(address)->linkAction(0)->trigger();
        QCOMPARE(bed->shell.opened, refused ? QStringList() : QStringList{address});
        QVERIFY2(bed->prompts.calls.last().text.contains(message),
                 qPrintable(bed->prompts.calls.last().text));
    }

    void clipboard_data() {
        QTest::addColumn<ClipboardCase>("c");
        const auto row = [](const char* name, const ClipboardCase& c) { QTest::newRow(name) << c; };
        row("copy selection", {7, 3, "0", "zz", "http://abc", "abc"});
        row("copy, nothing selected", {-1, 0, "0", "zz", "http://abc", ""});
        row("select all, cut", {-1, 0, "4 1", "zz", "", "http://abc"});
        row("paste over selection", {7, 3, "2", "xyz", "http://xyz", "xyz"});
        row("paste at the caret", {-1, 7, "2", "www.", "http://www.abc", "www."});
        row("paste, no text", {-1, 7, "2", QString(), "http://abc", ""});
        row("paste drops line breaks", {-1, 10, "2", "/x\r\n", "http://abc/x", "/x\r\n"});
    }
    void clipboard() {
        QFETCH(ClipboardCase, c);
        const auto& [start, length, items, before, address, after] = c;
        auto* data = new QMimeData;
        data->setData("application/x-orvane-test", "binary");
        if (!before.isNull()) {
            data->setText(before);
        }
        QGuiApplication::clipboard()->setMimeData(data);
        frmMain* editor = bed->editor(QStringLiteral("http://abc"), false);
        if (start >= 0) {
            editor->txtURL->setSelection(start, length);
        } else {
            editor->txtURL->setCursorPosition(length);
        }
        for (const QString& item : items.split(QLatin1Char(' '))) {
            editor->editAction(item.toInt())->trigger();
        }
        QCOMPARE(editor->address(), address);
        QCOMPARE(QGuiApplication::clipboard()->text(), after);
        QCOMPARE(editor->urlChanged(), address != "http://abc");
    }

    // Drops built as a desktop sends them. None changes the title or the kind.
    void drop_data() {
        QTest::addColumn<DropCase>("c");
        const auto row = [](const char* name, const DropCase& c) { QTest::newRow(name) << c; };
        const QString fromUrl = QStringLiteral("http://from-url/");
        row("text replaces the whole address",
            {"", "http://dropped/", "http://dropped/", true, {}});
        row("text without its line break", {"", "http://dropped/\n", "http://dropped/", true, {}});
        row("one shortcut", {"a.url", "", fromUrl, true, {}});
        row("capital .URL", {"A.URL", "", fromUrl, true, {}});
        row("three files, one-line ram first",
            {"one.ram a.url c.txt", "", "rtsp://one/", false, {}});
        row("three files, play list first",
            {"two.ram a.url c.txt", "", Old, false, {"rtsp://a/", "rtsp://b/"}});
        row("not a link file", {"c.txt", "", Old, false, {}});
        row("file manager: URL list and text", {"a.url", "%1", fromUrl, true, {}});
    }
    void drop() {
        QFETCH(DropCase, c);
        const auto& [files, text, address, changed, toPlayList] = c;
        bed->write("a.url", "[InternetShortcut]\r\nURL=http://from-url/\r\n");
        bed->write("A.URL", bed->read("a.url"));
        bed->write("one.ram", "rtsp://one/\r\n");
        bed->write("two.ram", "rtsp://a/\r\nrtsp://b/\r\n");
        bed->write("c.txt", "http://text-file/\r\n");
        QStringList sent;
        bed->state.sendToPlayList = [&](const QStringList& entries, const QString&) {
            sent = entries;
        };
        frmMain* editor = bed->editor(Old, false);
        editor->setWindowTitle(titleFor("/x/old.url"));
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            urls << QUrl::fromLocalFile(bed->path(file));
        }
        data.setUrls(urls);
        if (!text.isEmpty()) {
            data.setText(text == "%1" ? urls.first().toString() : text);
        }
        QVERIFY(editor->focusWidget() != editor->txtURL);
        const QPoint at = editor->txtURL->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor->txtURL, &enter);
        QCOMPARE(editor->focusWidget(), editor->txtURL);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor->txtURL, &drop);
        QTRY_COMPARE(editor->address(), address);
        QCoreApplication::processEvents();
        QCOMPARE(editor->address(), address);
        QCOMPARE(editor->urlChanged(), changed);
        QCOMPARE(sent, toPlayList);
        QCOMPARE(editor->windowTitle(), titleFor("/x/old.url"));
        QCOMPARE(editor->linkKind(), LinkKind::Empty);
    }

    // Run by CTest under xvfb-run: xdotool drags selected text from another window onto
    // the address box.
    void realDrag_textFromAnotherWindow() {
        if (QGuiApplication::platformName() != QLatin1String("xcb") ||
            QStandardPaths::findExecutable("xdotool").isEmpty()) {
            QSKIP("needs an X server and xdotool");
        }
        QLineEdit source(QStringLiteral("http://dragged/path"));
        source.setWindowFlag(Qt::FramelessWindowHint);
        source.setDragEnabled(true);
        source.setFixedWidth(300);
        source.move(40, 40);
        source.show();
        frmMain* editor = bed->editor(Old, false);
        editor->show();
        editor->move(40, 240);
        QVERIFY(QTest::qWaitForWindowExposed(&source));
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        source.selectAll();
        const QPoint from = source.mapToGlobal(QPoint(40, source.height() / 2));
        const QPoint to = editor->txtURL->mapToGlobal(editor->txtURL->rect().center());
        QString script =
            QStringLiteral("mousemove %1 %2 sleep 0.3 mousedown 1").arg(from.x()).arg(from.y());
        for (int step = 1; step <= 10; ++step) {
            const QPoint at = from + (to - from) * step / 10;
            script += QStringLiteral(" sleep 0.1 mousemove %1 %2").arg(at.x()).arg(at.y());
        }
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), (script + " sleep 0.3 mouseup 1").split(' '));
        QVERIFY(xdotool.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(editor->address(), QStringLiteral("http://dragged/path"), 15000);
        QVERIFY(editor->urlChanged());
        QTRY_COMPARE(xdotool.state(), QProcess::NotRunning);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
