#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "EditorTestBed.h"

namespace {

QList<int> checkedItems(const QList<QAction*>& items) {
    QList<int> checked;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->isChecked()) {
            checked << i;
        }
    }
    return checked;
}

QList<QAction*> linkItems(frmMain* editor) {
    QList<QAction*> items;
    for (int i = 0; i <= 8; ++i) {
        items << editor->linkAction(i);
    }
    return items;
}

QList<QAction*> playListItems(frmMain* editor) {
    return {editor->playListAction(0), editor->playListAction(1)};
}

}  // namespace

class tst_frmMainLinkEdit : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorTestBed> bed;

private slots:
    void init() { bed = std::make_unique<EditorTestBed>(); }
    void cleanup() { tearDownAndCheckWindows(bed); }

    // Each step is "link N" or "playlist N": the menu item of that array and index.
    void switching_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QList<int>>("linkChecked");
        QTest::addColumn<QList<int>>("playListChecked");
        QTest::addColumn<LinkKind>("kind");
        QTest::addColumn<bool>("changed");
        using I = QList<int>;
        const LinkKind web = LinkKind::Web;
        const LinkKind rm = LinkKind::RM;
        QTest::newRow("web from ftp")
            << "ftp://h/p" << QStringList{"link 7"} << "http://h/p" << I{7} << I{} << web << true;
        QTest::newRow("web from gopther")
            << "gopther://h" << QStringList{"link 7"} << "http://h" << I{7} << I{} << web << true;
        QTest::newRow("web from telnet")
            << "telnet://h" << QStringList{"link 7"} << "http://h" << I{7} << I{} << web << true;
        QTest::newRow("web from https")
            << "https://h" << QStringList{"link 7"} << "http://h" << I{7} << I{} << web << true;
        QTest::newRow("web on http unchanged")
            << "http://h" << QStringList{"link 7"} << "http://h" << I{7} << I{} << web << false;
        QTest::newRow("web on no scheme word")
            << "mailto:a@h" << QStringList{"link 7"} << "mailto:a@h" << I{7} << I{} << web << false;
        QTest::newRow("web in a new window")
            << "txtURL" << QStringList{"link 7"} << "txtURL" << I{7} << I{} << web << false;
        QTest::newRow("ftp from https drops the s")
            << "https://h" << QStringList{"link 3"} << "ftp://h" << I{3} << I{} << web << true;
        QTest::newRow("ssl on https unchanged")
            << "https://h" << QStringList{"link 8"} << "https://h" << I{8} << I{} << web << false;
        QTest::newRow("ssl from http")
            << "http://h" << QStringList{"link 8"} << "https://h" << I{8} << I{} << web << true;
        QTest::newRow("telnet from gopther")
            << "gopther://h" << QStringList{"link 6"} << "telnet://h" << I{6} << I{} << web << true;
        QTest::newRow("gopther from http")
            << "http://h" << QStringList{"link 4"} << "gopther://h" << I{4} << I{} << web << true;
        QTest::newRow("capital FTP never rewritten") << "FTP://h" << QStringList{"link 7", "link 8"}
                                                     << "FTP://h" << I{8} << I{} << web << false;
        QTest::newRow("without play list from ftp")
            << "ftp://h" << QStringList{"playlist 1"} << "http://h" << I{7} << I{1} << rm << true;
        QTest::newRow("without play list keeps the FTP mark")
            << "ftp://h" << QStringList{"link 3", "playlist 1"} << "http://h" << I{3} << I{1} << rm
            << true;
        QTest::newRow("without play list on https") << "https://h" << QStringList{"playlist 1"}
                                                    << "https://h" << I{7} << I{1} << rm << false;
        QTest::newRow("without play list from gopther")
            << "gopther://h" << QStringList{"playlist 1"} << "http://h" << I{7} << I{1} << rm
            << true;
        QTest::newRow("with play list leaves the address")
            << "ftp://h" << QStringList{"playlist 1", "playlist 0"} << "http://h" << I{7} << I{0}
            << rm << true;
        QTest::newRow("a kind switch keeps the play-list marks")
            << "http://h" << QStringList{"playlist 1", "link 8"} << "https://h" << I{8} << I{1}
            << web << true;
        QTest::newRow("separator and submenu do nothing")
            << "ftp://h" << QStringList{"link 2", "link 5", "link 9", "playlist 2"} << "ftp://h"
            << I{7} << I{} << LinkKind::Empty << false;
    }
    void switching() {
        QFETCH(QString, before);
        QFETCH(QStringList, steps);
        QFETCH(QString, after);
        QFETCH(QList<int>, linkChecked);
        QFETCH(QList<int>, playListChecked);
        QFETCH(LinkKind, kind);
        QFETCH(bool, changed);
        frmMain* editor = bed->editor();
        int playListShown = 0;
        bed->state.showPlayList = [&](bool modal) {
            QVERIFY(modal);
            ++playListShown;
        };
        editor->setAddress(before);
        editor->setUrlChanged(false);
        for (const QString& step : steps) {
            const int index = step.section(' ', 1).toInt();
            if (step.startsWith("link")) {
                editor->mnuLink_Click(index);
            } else {
                editor->mnuPlayList_Click(index);
            }
        }
        QCOMPARE(editor->address(), after);
        QCOMPARE(checkedItems(linkItems(editor)), linkChecked);
        QCOMPARE(checkedItems(playListItems(editor)), playListChecked);
        QCOMPARE(editor->linkKind(), kind);
        QCOMPARE(editor->urlChanged(), changed);
        QCOMPARE(playListShown, int(steps.count("playlist 0")));
    }

    void browse_data() {
        QTest::addColumn<QString>("address");  // %1: the temporary folder
        QTest::addColumn<bool>("shellResult");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("message");  // a piece of it, or empty for none
        QTest::newRow("web address") << "http://h/" << true << true << "";
        QTest::newRow("empty address still goes to the desktop") << "" << true << true << "";
        QTest::newRow("desktop cannot open it")
            << "foo:bar" << false << true << "\"foo:bar\" could not be opened";
        QTest::newRow("document") << "file://%1/doc.txt" << true << true << "";
        QTest::newRow("executable file") << "file://%1/tool" << true << false << "%1/tool";
        QTest::newRow("desktop launcher by path")
            << "%1/app.desktop" << true << false << "%1/app.desktop";
        QTest::newRow("windows program by suffix")
            << "%1/SETUP.EXE" << true << false << "does not start programs";
    }
    void browse() {
        QFETCH(QString, address);
        QFETCH(bool, shellResult);
        QFETCH(bool, opened);
        QFETCH(QString, message);
        const QString folder = bed->dir.path();
        for (const char* name : {"doc.txt", "tool", "app.desktop", "SETUP.EXE"}) {
            bed->write(name, "x");
        }
        QFile(bed->path("tool")).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        address.replace("%1", folder);
        message.replace("%1", folder);
        bed->shell.result = shellResult;
        if (!message.isEmpty()) {
            bed->prompts.answerMessage(Prompts::Answer::Ok);
        }
        frmMain* editor = bed->editor();
        editor->setAddress(address);
        editor->linkAction(0)->trigger();
        QCOMPARE(bed->shell.opened, opened ? QStringList{address} : QStringList());
        if (!message.isEmpty()) {
            QVERIFY2(bed->prompts.calls.last().text.contains(message),
                     qPrintable(bed->prompts.calls.last().text));
            QCOMPARE(bed->prompts.calls.last().title, QStringLiteral("Orvane Editor"));
        }
    }

    void test_handsTheAddressToTheLinkTest() {
        frmMain* editor = bed->editor();
        QStringList started;
        bed->state.startLinkTest = [&](QWidget* parent, const QString& address) {
            started << (parent == editor ? address : QStringLiteral("wrong parent"));
        };
        editor->setAddress("ftp://h/");
        editor->linkAction(1)->trigger();
        QCOMPARE(started, QStringList{"ftp://h/"});
    }

    void clipboard_data() {
        QTest::addColumn<int>("start");  // selection start, -1: none (caret at `length`)
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("item");                 // mnuEdit index
        QTest::addColumn<QString>("clipboardBefore");  // "<none>": no text at all
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("copy selection") << 7 << 3 << 0 << "zz"
                                        << "http://abc"
                                        << "abc";
        QTest::newRow("copy with nothing selected") << -1 << 0 << 0 << "zz"
                                                    << "http://abc"
                                                    << "";
        QTest::newRow("cut everything") << 0 << 10 << 1 << "zz"
                                        << ""
                                        << "http://abc";
        QTest::newRow("cut part") << 0 << 7 << 1 << "zz"
                                  << "abc"
                                  << "http://";
        QTest::newRow("paste over selection") << 7 << 3 << 2 << "xyz"
                                              << "http://xyz"
                                              << "xyz";
        QTest::newRow("paste at the caret") << -1 << 7 << 2 << "www."
                                            << "http://www.abc"
                                            << "www.";
        QTest::newRow("paste without text") << -1 << 7 << 2 << "<none>"
                                            << "http://abc"
                                            << "";
        QTest::newRow("select all then cut") << -1 << 0 << 4 << "zz"
                                             << "http://abc"
                                             << "zz";
    }
    void clipboard() {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, item);
        QFETCH(QString, clipboardBefore);
        QFETCH(QString, address);
        QFETCH(QString, clipboard);
        QClipboard* board = QGuiApplication::clipboard();
        if (clipboardBefore == "<none>") {
            auto* data = new QMimeData;
            data->setData("application/x-orvane-test", "binary");
            board->setMimeData(data);
        } else {
            board->setText(clipboardBefore);
        }
        frmMain* editor = bed->editor();
        editor->setAddress("http://abc");
        editor->setUrlChanged(false);
        if (start >= 0) {
            editor->txtURL->setSelection(start, length);
        } else {
            editor->txtURL->setCursorPosition(length);
        }
        editor->editAction(item)->trigger();
        if (item == 4) {
            QCOMPARE(editor->txtURL->selectedText(), editor->address());
            editor->editAction(1)->trigger();
            QCOMPARE(editor->address(), QString());
            QCOMPARE(board->text(), QStringLiteral("http://abc"));
            return;
        }
        QCOMPARE(editor->address(), address);
        QCOMPARE(board->text(), clipboard);
        QCOMPARE(editor->urlChanged(), address != "http://abc");
        QVERIFY(board->mimeData()->formats().size() <= 1 || !board->mimeData()->hasHtml());
    }

    // Drops onto the address box, built from real mime data as a desktop would send them.
    void drop_data() {
        QTest::addColumn<QStringList>("files");  // dropped as a URL list, first first
        QTest::addColumn<QString>("text");       // dropped as text; "%1": the first file's URL
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QStringList>("toPlayList");
        const QString old = QStringLiteral("http://old/");
        QTest::newRow("text replaces the whole address")
            << QStringList() << "http://dropped/"
            << "http://dropped/" << true << QStringList();
        QTest::newRow("one shortcut") << QStringList{"a.url"} << ""
                                      << "http://from-url/" << true << QStringList();
        QTest::newRow("capital .URL") << QStringList{"A.URL"} << ""
                                      << "http://from-url/" << true << QStringList();
        QTest::newRow("three files, single-line ram first")
            << QStringList{"one.ram", "a.url", "c.txt"} << ""
            << "rtsp://one/" << false << QStringList();
        QTest::newRow("three files, play list first")
            << QStringList{"two.ram", "a.url", "c.txt"} << "" << old << false
            << QStringList{"rtsp://a/", "rtsp://b/"};
        QTest::newRow("not a link file")
            << QStringList{"c.txt"} << "" << old << false << QStringList();
        QTest::newRow("file manager: URL list and text")
            << QStringList{"a.url"} << "%1"
            << "http://from-url/" << true << QStringList();
        QTest::newRow("nothing usable") << QStringList() << "" << old << false << QStringList();
    }
    void drop() {
        QFETCH(QStringList, files);
        QFETCH(QString, text);
        QFETCH(QString, address);
        QFETCH(bool, changed);
        QFETCH(QStringList, toPlayList);
        const QByteArray shortcut = "[InternetShortcut]\r\nURL=http://from-url/\r\n";
        bed->write("a.url", shortcut);
        bed->write("A.URL", shortcut);
        bed->write("one.ram", "rtsp://one/\r\n");
        bed->write("two.ram", "rtsp://a/\r\nrtsp://b/\r\n");
        bed->write("c.txt", "http://text-file/\r\n");
        QStringList sent;
        bed->state.sendToPlayList = [&](const QStringList& entries, const QString&) {
            sent = entries;
        };
        frmMain* editor = bed->editor();
        editor->setAddress("http://old/");
        editor->setUrlChanged(false);
        editor->setLinkKind(LinkKind::Web);
        editor->setWindowTitle("Orvane Editor - /x/old.url");

        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files) {
            urls << QUrl::fromLocalFile(bed->path(file));
        }
        if (!urls.isEmpty()) {
            data.setUrls(urls);
        }
        if (!text.isEmpty()) {
            data.setText(text == "%1" ? urls.first().toString() : text);
        }
        QVERIFY(editor->focusWidget() != editor->txtURL);
        const QPoint at = editor->txtURL->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(editor->txtURL, &enter);
        QCOMPARE(editor->focusWidget(), editor->txtURL);
        QCOMPARE(enter.isAccepted(), !files.isEmpty() || !text.isEmpty());
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor->txtURL, &drop);
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QTRY_COMPARE(editor->address(), address);
        QCoreApplication::processEvents();
        QCOMPARE(editor->address(), address);
        QCOMPARE(editor->urlChanged(), changed);
        QCOMPARE(sent, toPlayList);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Orvane Editor - /x/old.url"));
        QCOMPARE(editor->linkKind(), LinkKind::Web);
    }
};

QTEST_MAIN(tst_frmMainLinkEdit)
#include "tst_frmMainLinkEdit.moc"
