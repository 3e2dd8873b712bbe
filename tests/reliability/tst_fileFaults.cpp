// Files that cannot be read or written, met through the editors' own File menus. What each
// reader and writer refuses, and why, is tried in tests/links; here, that either window says
// so once, naming the file and the reason with the one warning icon, and is left as it was.
#include "Fixture.h"
#include "frmMain.h"
#include "frmRMMulti.h"

namespace {
// File menu items, the same in both editors.
constexpr int OpenItem = 2;
constexpr int SaveAsItem = 5;
}  // namespace

class tst_fileFaults : public QObject {
    Q_OBJECT
private slots:
    void failures_saidOnce_windowKept_data() {
        QTest::addColumn<QString>("ext");
        QTest::newRow("editor") << "url";
        QTest::newRow("play list") << "ram";
    }
    // A window titled with a file it opened fails to open another part-way, then fails to
    // save its changed link into a missing folder.
    void failures_saidOnce_windowKept() {
        QFETCH(QString, ext);
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
        const auto* playList = qobject_cast<frmRMMulti*>(window.get());
        const auto shown = [&] {
            return window->windowTitle() + '|' + window->address() + '|' +
                   (playList ? playList->entries().join(',') : QString()) + '|' +
                   QString::number(window->urlChanged());
        };
        const struct {
            int item;
            QString file;
            const char* reason;
        } steps[] = {{OpenItem, "bad." + ext, "input/output error"},
                     {SaveAsItem, "no/new." + ext, "does not exist"}};
        for (const auto& step : steps) {
            if (step.item == SaveAsItem) {
                QTest::keyClicks(window->txtURL, QStringLiteral("x"));
            }
            const QString before = shown();
            f.prompts.calls.clear();
            f.script((step.item == OpenItem ? "open:" : "save:") + step.file + " Ok");
            window->fileAction(step.item)->trigger();
            QCOMPARE(f.prompts.calls.size(), 2);  // the file dialog, the message
            const ScriptedPrompts::Call& said = f.prompts.calls.last();
            QCOMPARE(said.icon, Prompts::Icon::Warning);
            QVERIFY2(said.text.contains(f.path(step.file)) && said.text.contains(step.reason),
                     qPrintable(said.text));
            QCOMPARE(shown(), before);
        }
        QCOMPARE(f.read("recent.dat"), NoFile);
        QVERIFY(!QFileInfo::exists(f.path("no")));
        checkCleanEnd(f.prompts.pendingAnswers());
    }
};

QTEST_MAIN(tst_fileFaults)
#include "tst_fileFaults.moc"
