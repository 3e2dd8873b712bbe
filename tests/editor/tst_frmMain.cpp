#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>

#include "EditorTestBed.h"

using Answer = Prompts::Answer;

namespace {

const QString Question =
    QStringLiteral("You have not yet saved your link. Do you want to save it now ?");
const QByteArray ShortcutA = "[InternetShortcut]\r\nURL=http://a.example/\r\n";

QString titleFor(const QString& path) {
    return QStringLiteral("Orvane Editor - ") + path;
}

QList<int> checkedLinkItems(frmMain* editor) {
    QList<int> checked;
    for (int i = 0; i <= 8; ++i) {
        if (editor->linkAction(i)->isChecked()) {
            checked << i;
        }
    }
    return checked;
}

int lineCount(const QByteArray& bytes) {
    return bytes == "<missing>" ? 0 : int(bytes.count("\r\n"));
}

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorTestBed> bed;

private slots:
    void init() { bed = std::make_unique<EditorTestBed>(); }
    void cleanup() { tearDownAndCheckWindows(bed); }

    void load_startsAsUntitledCleanWebItem() {
        frmMain* editor = bed->editor();
        QCOMPARE(editor->windowTitle(), QStringLiteral("Orvane Editor"));
        QCOMPARE(editor->txtURL->text(), QStringLiteral("txtURL"));
        QCOMPARE(editor->txtURL->toolTip(), QStringLiteral("Enter Your  Link Here"));
        QCOMPARE(editor->Label1->text(), QStringLiteral("URL :"));
        QCOMPARE(editor->font().family(), QStringLiteral("Arial"));
        QCOMPARE(editor->minimumSize(), editor->maximumSize());
        QVERIFY(!editor->urlChanged());
        QCOMPARE(editor->linkKind(), LinkKind::Empty);
        QCOMPARE(editor->noForm(), 1);
        QCOMPARE(checkedLinkItems(editor), QList<int>{7});
    }

    void menus_captionsAndShortcuts_data() {
        QTest::addColumn<QString>("array");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        const QList<std::tuple<const char*, int, const char*, const char*>> rows = {
            {"mnuFileM", 0, "&New", ""},
            {"mnuNew", 0, "&Link...", "Ctrl+N"},
            {"mnuNew", 1, "&Window", "Ctrl+W"},
            {"mnuFileM", 2, "&Open...", ""},
            {"mnuFileM", 3, "Open &Local...", ""},
            {"mnuFileM", 4, "&Save", "Ctrl+S"},
            {"mnuFileM", 5, "Save &As...", ""},
            {"mnuFileM", 7, "&Exit", ""},
            {"mnuEdit", 0, "&Copy", "Ctrl+C"},
            {"mnuEdit", 1, "C&ut", "Ctrl+X"},
            {"mnuEdit", 2, "&Paste", "Ctrl+V"},
            {"mnuEdit", 4, "Select &All", "Ctrl+A"},
            {"mnuLink", 0, "&Browse the Link...", "Ctrl+B"},
            {"mnuLink", 1, "T&est the Link...", "Ctrl+T"},
            {"mnuLink", 3, "&FTP Link", ""},
            {"mnuLink", 4, "&Gopther Link", ""},
            {"mnuLink", 5, "&RealAudio Link", ""},
            {"mnuPlayList", 0, "&With Play List", "Ctrl+L"},
            {"mnuPlayList", 1, "With&out Play List", ""},
            {"mnuLink", 6, "&Telnet Link", ""},
            {"mnuLink", 7, "&Web Link", ""},
            {"mnuLink", 8, "Web ( &SSL ) Link", ""},
            {"mnuView", 0, "Properties...", "Ctrl+P"},
            {"mnuHelp", 0, "&Content", "F1"},
            {"mnuHelp", 1, "Feedback...", ""},
            {"mnuHelp", 2, "Technical Support", ""},
            {"mnuHelp", 3, "Tessaly on the Web", ""},
            {"mnuOnWeb", 0, "Orvane Editor Homepage", ""},
            {"mnuOnWeb", 1, "Tessaly Homepage", ""},
            {"mnuHelp", 5, "&About Orvane Editor...", ""},
        };
        for (const auto& [array, index, caption, shortcut] : rows) {
            QTest::addRow("%s %d", array, index) << array << index << caption << shortcut;
        }
    }
    void menus_captionsAndShortcuts() {
        QFETCH(QString, array);
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        frmMain* editor = bed->editor();
        const QMap<QString, QAction* (frmMain::*)(int) const> arrays = {
            {"mnuFileM", &frmMain::fileAction},        {"mnuNew", &frmMain::newAction},
            {"mnuEdit", &frmMain::editAction},         {"mnuLink", &frmMain::linkAction},
            {"mnuPlayList", &frmMain::playListAction}, {"mnuView", &frmMain::viewAction},
            {"mnuHelp", &frmMain::helpAction},         {"mnuOnWeb", &frmMain::onWebAction},
        };
        QAction* action = (editor->*arrays.value(array))(index);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut().toString(), shortcut);
        QCOMPARE(editor->mainMenu(2)->title(), QStringLiteral("&Link"));
    }

    // Every way through the unsaved-changes prompt, for each command that uses it.
    void prompt_paths_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("saveAs");  // the save dialog's answer after Yes
        QTest::addColumn<bool>("goesOn");
        for (const char* command :
             {"open", "openLocal", "newLink", "closeSecondary", "exitSecondary"}) {
            const bool closing = QByteArray(command).endsWith("Secondary");
            QTest::addRow("%s yes saved", command) << command << Answer::Yes << "a.url" << true;
            QTest::addRow("%s yes dialog cancelled", command)
                << command << Answer::Yes << "" << !closing;
            QTest::addRow("%s no", command) << command << Answer::No << QString() << true;
            QTest::addRow("%s cancel", command) << command << Answer::Cancel << QString() << false;
        }
    }
    void prompt_paths() {
        QFETCH(QString, command);
        QFETCH(Answer, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, goesOn);
        frmMain* editor = bed->editor();
        int wizardShown = 0;
        bed->state.showWizard = [&](QWidget* parent) {
            QCOMPARE(parent, editor);
            ++wizardShown;
        };
        editor->setAddress("http://a.example/");
        bed->prompts.answerMessage(answer);
        if (answer == Answer::Yes) {
            bed->prompts.answerSave(saveAs.isEmpty() ? QString() : bed->path(saveAs));
        }
        if (goesOn && command.startsWith("open")) {
            bed->prompts.answerOpen(QString());
        }
        QPointer<frmMain> window(editor);
        if (command == "open") {
            editor->fileAction(2)->trigger();
        } else if (command == "openLocal") {
            editor->fileAction(3)->trigger();
        } else if (command == "newLink") {
            editor->newAction(0)->trigger();
            QCOMPARE(wizardShown, goesOn ? 1 : 0);
        } else if (command == "closeSecondary") {
            editor->close();
        } else {
            editor->fileAction(7)->trigger();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const ScriptedPrompts::Call& call = bed->prompts.calls.first();
        QCOMPARE(call.text, Question);
        QCOMPARE(call.title, QStringLiteral("Orvane Editor"));
        QCOMPARE(call.icon, Prompts::Icon::Question);
        QCOMPARE(call.buttons, Prompts::Buttons::YesNoCancel);
        if (command.endsWith("Secondary")) {
            QCOMPARE(window.isNull(), goesOn);
        }
        QCOMPARE(bed->read("a.url"), saveAs.isEmpty() ? QByteArray("<missing>") : ShortcutA);
        QCOMPARE(lineCount(bed->read("recent.dat")), saveAs.isEmpty() ? 0 : 1);
    }

    void save_data() {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<bool>("titled");
        QTest::addColumn<LinkKind>("kind");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("dialog");    // "-": no dialog expected; "": cancelled
        QTest::addColumn<QByteArray>("bytes");  // of file "a"; "<missing>" when not written
        QTest::addColumn<int>("recentLines");
        const QByteArray rm = "http://a.example/\r\n";
        const QString url = QStringLiteral("Internet Link ( *.url )|*.url");
        QTest::newRow("untitled save asks for a path")
            << false << false << LinkKind::Web << true << url << ShortcutA << 1;
        QTest::newRow("untitled new window saves a shortcut")
            << false << false << LinkKind::Empty << true << url << ShortcutA << 1;
        QTest::newRow("untitled RealMedia") << false << false << LinkKind::RM << true
                                            << "RealPlayer Link ( *.ram )|*.ram" << rm << 1;
        QTest::newRow("untitled save cancelled")
            << false << false << LinkKind::Web << true << "" << QByteArray("<missing>") << 0;
        QTest::newRow("titled changed writes back")
            << false << true << LinkKind::Web << true << "-" << ShortcutA << 0;
        QTest::newRow("titled RealMedia writes a ram")
            << false << true << LinkKind::RM << true << "-" << rm << 0;
        QTest::newRow("titled clean writes nothing")
            << false << true << LinkKind::Web << false << "-" << QByteArray("<missing>") << 0;
        QTest::newRow("save as of a titled link")
            << true << true << LinkKind::Web << false << url << ShortcutA << 1;
        QTest::newRow("save as cancelled")
            << true << false << LinkKind::Web << true << "" << QByteArray("<missing>") << 0;
    }
    void save() {
        QFETCH(bool, saveAs);
        QFETCH(bool, titled);
        QFETCH(LinkKind, kind);
        QFETCH(bool, changed);
        QFETCH(QString, dialog);
        QFETCH(QByteArray, bytes);
        QFETCH(int, recentLines);
        frmMain* editor = bed->editor();
        editor->setAddress("http://a.example/");
        editor->setLinkKind(kind);
        editor->setUrlChanged(changed);
        const QString file = bed->path("a");
        if (titled && !saveAs) {
            editor->setWindowTitle(titleFor(file));
        }
        const bool written = bytes != "<missing>";
        if (dialog != "-") {
            bed->prompts.answerSave(written ? file : QString());
        }
        editor->fileAction(saveAs ? 5 : 4)->trigger();
        if (dialog != "-") {
            QCOMPARE(bed->prompts.calls.size(), 1);
            QCOMPARE(bed->prompts.calls.first().text,
                     dialog.isEmpty() ? bed->prompts.calls.first().text : dialog);
        }
        QCOMPARE(bed->read("a"), bytes);
        QCOMPARE(lineCount(bed->read("recent.dat")), recentLines);
        QCOMPARE(editor->windowTitle(),
                 written || titled ? titleFor(file) : QStringLiteral("Orvane Editor"));
        QCOMPARE(editor->urlChanged(), changed && !written);
    }

    // A shortcut's icon and other keys survive Save; Save As writes the plain two lines.
    void save_keepsOtherKeysOnlyWhenSavingBack_data() {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("save") << false
                              << QByteArray(
                                     "[InternetShortcut]\r\nURL=http://b.example/\r\n"
                                     "IconFile=C:\\i.ico\r\nIconIndex=1\r\n");
        QTest::newRow("save as") << true
                                 << QByteArray("[InternetShortcut]\r\nURL=http://b.example/\r\n");
    }
    void save_keepsOtherKeysOnlyWhenSavingBack() {
        QFETCH(bool, saveAs);
        QFETCH(QByteArray, expected);
        bed->write("s.url",
                   "[InternetShortcut]\r\nURL=http://a.example/\r\nIconFile=C:\\i.ico\r\n"
                   "IconIndex=1\r\n");
        frmMain* editor = bed->editor();
        QVERIFY(editor->openFile(bed->path("s.url")));
        editor->setAddress("http://b.example/");
        if (saveAs) {
            bed->prompts.answerSave(bed->path("s.url"));
        }
        editor->fileAction(saveAs ? 5 : 4)->trigger();
        QCOMPARE(bed->read("s.url"), expected);
    }

    // A failed write says so, names the file, and changes nothing; a closing window stays.
    void save_failure_data() {
        QTest::addColumn<bool>("titled");
        QTest::addColumn<bool>("closing");
        QTest::newRow("save as") << false << false;
        QTest::newRow("save back") << true << false;
        QTest::newRow("closing with save as") << false << true;
    }
    void save_failure() {
        QFETCH(bool, titled);
        QFETCH(bool, closing);
        frmMain* editor = bed->editor();
        editor->setAddress("http://a.example/");
        const QString target = bed->path("no such folder/a.url");
        const QString title = titled ? titleFor(target) : QStringLiteral("Orvane Editor");
        editor->setWindowTitle(title);
        if (closing) {
            editor->setNoForm(1);
            bed->prompts.answerMessage(Answer::Yes);
        }
        if (!titled) {
            bed->prompts.answerSave(target);
        }
        bed->prompts.answerMessage(Answer::Ok);
        QPointer<frmMain> window(editor);
        if (closing) {
            editor->close();
        } else {
            editor->fileAction(4)->trigger();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window);
        QVERIFY(bed->prompts.calls.last().text.contains(target));
        QCOMPARE(bed->prompts.calls.last().title, QStringLiteral("Orvane Editor"));
        QCOMPARE(editor->windowTitle(), title);
        QVERIFY(editor->urlChanged());
        QCOMPARE(bed->read("recent.dat"), QByteArray("<missing>"));
    }

    void open_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("read");  // the window takes the file as its document
        QTest::addColumn<QString>("address");
        QTest::addColumn<LinkKind>("kind");
        QTest::addColumn<QList<int>>("checked");
        QTest::addColumn<QStringList>("toPlayList");
        const QString old = QStringLiteral("http://old.example/");
        const QList<int> web{7};
        auto shortcut = [](const char* url) {
            return QByteArray("[InternetShortcut]\r\nURL=") + url + "\r\n";
        };
        QTest::newRow("web shortcut") << "a.url" << shortcut("http://x/") << true << "http://x/"
                                      << LinkKind::Web << web << QStringList();
        QTest::newRow("ftp checks FTP only")
            << "a.url" << shortcut("ftp://x/p") << true << "ftp://x/p" << LinkKind::Web
            << QList<int>{3} << QStringList();
        QTest::newRow("capital FTP keeps the marks")
            << "a.url" << shortcut("FTP://x/") << true << "FTP://x/" << LinkKind::Web << web
            << QStringList();
        QTest::newRow("capital .URL is a shortcut")
            << "a.URL" << shortcut("http://x/") << true << "http://x/" << LinkKind::Web << web
            << QStringList();
        QTest::newRow("ram with one line")
            << "a.ram" << QByteArray("rtsp://x/a.rm\r\n") << true << "rtsp://x/a.rm" << LinkKind::RM
            << web << QStringList();
        QTest::newRow("empty ram")
            << "a.ram" << QByteArray() << true << old << LinkKind::RM << web << QStringList();
        QTest::newRow("ram play list goes to the play list")
            << "a.ram" << QByteArray("A\r\nB\r\n") << false << old << LinkKind::Web << web
            << QStringList{"A", "B"};
        QTest::newRow("not a link file") << "a.txt" << QByteArray("http://x/\r\n") << false << old
                                         << LinkKind::Web << web << QStringList();
        QTest::newRow("shortcut without URL") << "a.url" << QByteArray("[X]\r\nY=1\r\n") << false
                                              << old << LinkKind::Web << web << QStringList();
        QTest::newRow("binary ram") << "a.ram" << QByteArray("A\0B\r\n", 5) << false << old
                                    << LinkKind::Web << web << QStringList();
        QTest::newRow("missing file")
            << "" << QByteArray() << false << old << LinkKind::Web << web << QStringList();
    }
    void open() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, read);
        QFETCH(QString, address);
        QFETCH(LinkKind, kind);
        QFETCH(QList<int>, checked);
        QFETCH(QStringList, toPlayList);
        const QString file = bed->path(name.isEmpty() ? QStringLiteral("missing.url") : name);
        if (!name.isEmpty()) {
            bed->write(name, bytes);
        }
        QStringList sent;
        QString sentPath;
        bed->state.sendToPlayList = [&](const QStringList& entries, const QString& path) {
            sent = entries;
            sentPath = path;
        };
        frmMain* editor = bed->editor();
        editor->setAddress("http://old.example/");
        editor->setLinkKind(LinkKind::Web);
        // A failed open leaves even the changed mark as it was: keep it set.
        const bool failing = !read && toPlayList.isEmpty();
        if (failing) {
            bed->prompts.answerMessage(Answer::No);
        }
        bed->prompts.answerOpen(file);
        if (failing) {
            bed->prompts.answerMessage(Answer::Ok);
        } else {
            editor->setUrlChanged(false);
        }
        editor->fileAction(2)->trigger();
        QCOMPARE(editor->address(), address);
        QCOMPARE(editor->linkKind(), kind);
        QCOMPARE(checkedLinkItems(editor), checked);
        QCOMPARE(editor->windowTitle(), read ? titleFor(file) : QStringLiteral("Orvane Editor"));
        QCOMPARE(editor->urlChanged(), failing);
        QCOMPARE(sent, toPlayList);
        QCOMPARE(sentPath, toPlayList.isEmpty() ? QString() : file);
        if (failing) {
            QVERIFY(bed->prompts.calls.last().text.contains(file));
        }
    }

    void open_cancelledDialogKeepsLinkAndMarksItClean() {
        frmMain* editor = bed->editor();
        editor->setAddress("http://a.example/");
        bed->prompts.answerMessage(Answer::No);
        bed->prompts.answerOpen(QString());
        editor->fileAction(2)->trigger();
        QCOMPARE(bed->prompts.calls.last().text,
                 QStringLiteral("Internet Link ( *.url )|*.url|RealMedia Link ( *.ram )|*.ram"));
        QCOMPARE(editor->address(), QStringLiteral("http://a.example/"));
        QCOMPARE(editor->windowTitle(), QStringLiteral("Orvane Editor"));
        QVERIFY(!editor->urlChanged());
    }

    void openLocal_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("address");
        QTest::newRow("chosen") << "/home/u/a b.txt"
                                << "file:///home/u/a b.txt";
        QTest::newRow("cancelled") << ""
                                   << "http://a.example/";
    }
    void openLocal() {
        QFETCH(QString, chosen);
        QFETCH(QString, address);
        frmMain* editor = bed->editor();
        editor->setAddress("http://a.example/");
        editor->setUrlChanged(false);
        editor->setLinkKind(LinkKind::RM);
        editor->setWindowTitle(titleFor("/x/a.ram"));
        bed->prompts.answerOpen(chosen);
        editor->fileAction(3)->trigger();
        QCOMPARE(bed->prompts.calls.last().text, QStringLiteral("All Files ( *.* )|*.*"));
        QCOMPARE(editor->address(), address);
        QCOMPARE(editor->urlChanged(), !chosen.isEmpty());
        QCOMPARE(editor->windowTitle(), titleFor("/x/a.ram"));
        QCOMPARE(editor->linkKind(), LinkKind::RM);
    }

    void newWindow_cascades200TwipsFromTheWindowUsed() {
        frmMain* editor = bed->editor();
        editor->setNoForm(0);
        editor->show();
        editor->move(100, 80);
        const QPoint step(qRound(200.0 * editor->logicalDpiX() / 1440),
                          qRound(200.0 * editor->logicalDpiY() / 1440));
        QVERIFY(step.x() > 0);
        editor->newAction(1)->trigger();
        editor->newAction(1)->trigger();
        const QList<QWidget*> windows = bed->state.editorWindows();
        QCOMPARE(windows.size(), 3);
        for (QWidget* widget : windows.mid(1)) {
            auto* window = qobject_cast<frmMain*>(widget);
            QCOMPARE(window->pos(), editor->pos() + step);
            QVERIFY(window->isVisible());
            QCOMPARE(window->noForm(), 1);
            QCOMPARE(window->address(), QStringLiteral("txtURL"));
            QCOMPARE(window->linkKind(), LinkKind::Empty);
            window->close();
        }
    }

    // Who is asked, in which order, and what stays open when windows close or Exit runs.
    void closing_data() {
        QTest::addColumn<QString>("how");  // "close" (title bar) or "exit"
        QTest::addColumn<bool>("onMain");
        QTest::addColumn<bool>("mainChanged");
        QTest::addColumn<bool>("secondChanged");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("mainOpen");
        QTest::addColumn<bool>("secondOpen");
        QTest::addColumn<bool>("ended");
        using L = QList<Answer>;
        QTest::newRow("secondary clean close")
            << "close" << false << false << false << L{} << true << false << false;
        QTest::newRow("secondary changed exit cancelled")
            << "exit" << false << false << true << L{Answer::Cancel} << true << true << false;
        QTest::newRow("main clean close ends at once")
            << "close" << true << false << false << L{} << false << false << true;
        QTest::newRow("main close asks the changed secondary")
            << "close" << true << false << true << L{Answer::No} << false << false << true;
        QTest::newRow("main exit asks both in order")
            << "exit" << true << true << true << L{Answer::No, Answer::No} << false << false
            << true;
        QTest::newRow("cancel in the secondary keeps all open")
            << "exit" << true << true << true << L{Answer::No, Answer::Cancel} << true << true
            << false;
    }
    void closing() {
        QFETCH(QString, how);
        QFETCH(bool, onMain);
        QFETCH(bool, mainChanged);
        QFETCH(bool, secondChanged);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, mainOpen);
        QFETCH(bool, secondOpen);
        QFETCH(bool, ended);
        int quits = 0;
        bed->state.quitApplication = [&] { ++quits; };
        QPointer<frmMain> main = bed->editor();
        main->setNoForm(0);
        main->show();
        main->newAction(1)->trigger();
        QPointer<frmMain> second = qobject_cast<frmMain*>(bed->state.editorWindows().last());
        main->setAddress("http://main.example/");
        main->setUrlChanged(mainChanged);
        second->setAddress("http://second.example/");
        second->setUrlChanged(secondChanged);
        for (Answer answer : answers) {
            bed->prompts.answerMessage(answer);
        }
        frmMain* target = onMain ? main.data() : second.data();
        if (how == "close") {
            target->close();
        } else {
            target->fileAction(7)->trigger();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(bed->prompts.calls.size(), answers.size());
        QCOMPARE(!main.isNull() && main->isVisible(), mainOpen);
        QCOMPARE(!second.isNull() && second->isVisible(), secondOpen);
        QCOMPARE(quits, ended ? 1 : 0);
        delete second.data();
    }

    // The question before the end comes window by window, in opening order, so each
    // window's own link is saved to the file chosen for it.
    void exit_savesEachChangedWindowInOpeningOrder() {
        frmMain* main = bed->editor();
        main->setNoForm(0);
        main->newAction(1)->trigger();
        auto* second = qobject_cast<frmMain*>(bed->state.editorWindows().last());
        main->setAddress("http://a.example/");
        second->setAddress("http://b.example/");
        bed->prompts.answerMessage(Answer::Yes);
        bed->prompts.answerSave(bed->path("first.url"));
        bed->prompts.answerMessage(Answer::Yes);
        bed->prompts.answerSave(bed->path("second.url"));
        main->fileAction(7)->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(bed->read("first.url"), ShortcutA);
        QCOMPARE(bed->read("second.url"),
                 QByteArray("[InternetShortcut]\r\nURL=http://b.example/\r\n"));
        QCOMPARE(bed->state.editorWindows().size(), 0);
    }

    void viewAndHelp_reachTheirWindowsAndPages() {
        frmMain* editor = bed->editor();
        QStringList calls;
        bed->state.showOptions = [&](QWidget* parent) {
            calls << (parent == editor ? "options" : "?");
        };
        bed->state.showHelpContent = [&] { calls << "help"; };
        bed->state.showAbout = [&](QWidget* parent, bool modal) {
            calls << (parent == editor && modal ? "about modal" : "about?");
        };
        editor->viewAction(0)->trigger();
        for (int index : {0, 1, 2, 5}) {
            editor->helpAction(index)->trigger();
        }
        editor->onWebAction(0)->trigger();
        editor->onWebAction(1)->trigger();
        QCOMPARE(calls, (QStringList{"options", "help", "about modal"}));
        QCOMPARE(bed->shell.opened.size(), 4);
        QVERIFY(bed->shell.opened[0].endsWith("feedback.htm"));
        QVERIFY(bed->shell.opened[1].endsWith("tech.htm"));
        QVERIFY(bed->shell.opened[3].startsWith("http"));
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
