// Files that cannot be read or written, met through the editors' own File menus. What each
// reader and writer refuses, and why, is tried in tests/links; here, that either window says
// so once, naming the file and the reason with the one warning icon, and is left as it was.
#include "Fixture.h"
#include "frmMain.h"
#include "frmRMMulti.h"

class tst_fileFaults : public QObject {
    Q_OBJECT
    // File menu items, the same in both editors.
    static constexpr int OpenItem = 2;
    static constexpr int SaveAsItem = 5;

private slots:
    void failure_saidOnce_windowKept_data() {
        columns<QString, QString, QString>("ext", "answer", "reason");
        for (const char* ext : {"url", "ram"}) {
            QTest::addRow("%s: open fails part-way", ext) << ext << "open:bad."
                                                          << "input/output error";
            QTest::addRow("%s: save into a missing folder", ext) << ext << "save:no/new."
                                                                 << "does not exist";
        }
    }
    // A window titled with a file it opened fails to open another part-way, or to save its
    // changed link into a missing folder.
    void failure_saidOnce_windowKept() {
        auto [ext, answer, reason] = fetch<QString, QString, QString>("ext", "answer", "reason");
        Fixture f;
        const std::unique_ptr<AddressEditorWindow> window(
            ext == "url" ? static_cast<AddressEditorWindow*>(new frmMain(f.state))
                         : new frmRMMulti(f.state));
        const QByteArray opened =
            ext == "url" ? "[InternetShortcut]\nURL=http://a/\n" : "http://a/\nhttp://b/\n";
        f.write("before." + ext, opened);
        f.script("open:before." + ext);
        window->fileAction(OpenItem)->trigger();
        // /proc/self/mem opens as a regular file, but reading at offset 0 fails (nothing is
        // mapped there), as a bad disk block would: root cannot read it either.
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), f.path("bad." + ext)));
        const bool save = answer.startsWith("save");
        if (save) {
            QTest::keyClicks(window->txtURL, QStringLiteral("x"));
        }
        const auto* playList = qobject_cast<frmRMMulti*>(window.get());
        const auto shown = [&] {
            return window->windowTitle() + '|' + window->address() + '|' +
                   (playList ? playList->entries().join(',') : QString()) + '|' +
                   QString::number(window->urlChanged());
        };
        const QString before = shown();
        f.prompts.calls.clear();
        f.script(answer + ext + " Ok");
        window->fileAction(save ? SaveAsItem : OpenItem)->trigger();
        QCOMPARE(f.prompts.calls.size(), 2);  // the file dialog, the message
        const ScriptedPrompts::Call& said = f.prompts.calls.last();
        QCOMPARE(said.icon, Prompts::Icon::Warning);
        const QString path = f.path(answer.section(':', 1) + ext);
        QVERIFY2(said.text.contains(path) && said.text.contains(reason), qPrintable(said.text));
        QCOMPARE(shown(), before);
        QCOMPARE(f.read("recent.dat"), NoFile);
        QVERIFY(!QFileInfo::exists(f.path("no")));
        checkCleanEnd(f.prompts.pendingAnswers());
    }
};

QTEST_MAIN(tst_fileFaults)
#include "tst_fileFaults.moc"
