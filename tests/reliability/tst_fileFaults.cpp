// Files that cannot be written or read, met through the editors' own File menus: each gives
// one message naming the file and the reason, at once, and leaves the window, the file on
// disk and the recent list as they were.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "AppState.h"
#include "IniSettingsBackend.h"
#include "RecordingShell.h"
#include "Registry.h"
#include "ScriptedPrompts.h"
#include "frmMain.h"
#include "frmRMMulti.h"

namespace {

// File menu items, the same in both editors.
constexpr int OpenItem = 2;
constexpr int SaveAsItem = 5;

const QByteArray ShortcutBefore = "[InternetShortcut]\r\nURL=http://before.example/\r\n";
const QByteArray PlayListBefore = "http://one.example/a.rm\r\nhttp://two.example/b.rm\r\n";

// Either editor, with what a user sees of it.
struct Window {
    std::unique_ptr<frmMain> editor;
    std::unique_ptr<frmRMMulti> playList;
    Window(const QString& kind, AppState& state) {
        if (kind == QLatin1String("editor")) {
            editor = std::make_unique<frmMain>(state);
        } else {
            playList = std::make_unique<frmRMMulti>(state);
        }
    }
    void trigger(int item) const {
        (editor ? editor->fileAction(item) : playList->fileAction(item))->trigger();
    }
    bool open(const QString& path) const {
        return editor ? editor->openFile(path) : playList->openFile(path);
    }
    QLineEdit* address() const { return editor ? editor->txtURL : playList->txtURL; }
    // Title, address box, list and the unsaved-changes flag.
    QString snapshot() const {
        QMainWindow* window = editor ? static_cast<QMainWindow*>(editor.get()) : playList.get();
        const bool changed = editor ? editor->urlChanged() : playList->urlChanged();
        return window->windowTitle() + '|' + address()->text() + '|' +
               (playList ? playList->entries().join(',') : QString()) + '|' +
               QString::number(changed);
    }
};

struct Bed {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    RecordingShell shell;
    IniSettingsBackend settings{dir.filePath(QStringLiteral("user.conf")), QString()};
    Registry registry{settings};
    AppState state{prompts, shell, registry};
    QWidget mainEditorStandIn;

    Bed() {
        state.recentFile = path(QStringLiteral("recent.dat"));
        state.mainEditor = &mainEditorStandIn;
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    // The calls after the file dialog: one warning or error that names the file and reason.
    void verifyOneMessage(const QString& path, const QString& reason) {
        QVERIFY(!prompts.calls.isEmpty());
        if (prompts.calls.first().kind != ScriptedPrompts::Kind::Message) {
            prompts.calls.removeFirst();
        }
        QCOMPARE(prompts.calls.size(), 1);
        const ScriptedPrompts::Call& call = prompts.calls.first();
        QCOMPARE(call.kind, ScriptedPrompts::Kind::Message);
        QVERIFY(call.icon == Prompts::Icon::Warning || call.icon == Prompts::Icon::Critical);
        QVERIFY2(call.text.contains(path) && call.text.contains(reason), qPrintable(call.text));
    }
};

}  // namespace

class tst_fileFaults : public QObject {
    Q_OBJECT

    std::unique_ptr<Bed> bed;

private slots:
    void init() { bed = std::make_unique<Bed>(); }

    void cleanup() {
        QCOMPARE(bed->prompts.pendingAnswers(), 0);
        bed.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void failedSave_reportsAndKeepsEverything_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("target");  // the path the save goes to, in the temp folder
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<QString>("reason");
        for (const char* kind : {"editor", "play list"}) {
            const QString ext = kind[0] == 'e' ? QStringLiteral(".url") : QStringLiteral(".ram");
            auto row = [&](const char* what, const QString& target, const char* prepare,
                           const char* reason) {
                QTest::addRow("%s: %s", kind, what) << kind << target << prepare << reason;
            };
            row("Save As onto a folder", "folder" + ext, "folder", "it is a folder");
            row("Save As into a missing folder", "missing/new" + ext, "", "does not exist");
            row("Save As below a file", "plain.txt/new" + ext, "file", "is not a folder");
        }
    }

    void failedSave_reportsAndKeepsEverything() {
        QFETCH(QString, kind);
        QFETCH(QString, target);
        QFETCH(QString, prepare);
        QFETCH(QString, reason);
        const QString path = bed->path(target);
        // A window with a changed link. (A full disk and a link to a device are tried with
        // the real program, tests/e2e.)
        Window window(kind, bed->state);
        QTest::keyClicks(window.address(), QStringLiteral("x"));

        if (prepare == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
        } else if (prepare == QLatin1String("file")) {
            bed->write(QStringLiteral("plain.txt"), "plain text\n");
        }
        const QString before = window.snapshot();

        bed->prompts.answerSave(path);
        bed->prompts.answerMessage(Prompts::Answer::Ok);
        window.trigger(SaveAsItem);
        bed->verifyOneMessage(QDir::toNativeSeparators(path), reason);

        QCOMPARE(window.snapshot(), before);
        QVERIFY(!QFileInfo::exists(bed->state.recentFile));
        if (prepare == QLatin1String("folder")) {
            QVERIFY(QFileInfo(path + QStringLiteral("/inside")).isDir());
        } else {
            QVERIFY(!QFileInfo::exists(path));
        }
    }

    // The readers tell every kind of bad file apart (tests/links); here, that the windows
    // neither wait on a pipe nor change when a read fails part-way.
    void failedOpen_reportsAtOnceAndKeepsTheWindow_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fifo");
        for (const char* kindAndExt : {"editor.url", "editor.ram", "play list.ram"}) {
            const QString kind = QString::fromLatin1(kindAndExt).chopped(4);
            for (bool fifo : {true, false}) {
                QTest::addRow("%s: %s", kindAndExt, fifo ? "pipe" : "failing read")
                    << kind << "bad" + QString::fromLatin1(kindAndExt).right(4) << fifo;
            }
        }
    }

    void failedOpen_reportsAtOnceAndKeepsTheWindow() {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(bool, fifo);
        const QString path = bed->path(name);
        // /proc/self/mem opens as a regular file, but reading at offset 0 fails (nothing is
        // mapped there), as a bad disk block would: root cannot read it either.
        QVERIFY(fifo ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                     : QFile::link(QStringLiteral("/proc/self/mem"), path));
        // The window holds a link opened from a file: titled, clean.
        Window window(kind, bed->state);
        const QString ext = name.right(4);
        bed->write("before" + ext, ext == QLatin1String(".url") ? ShortcutBefore : PlayListBefore);
        QVERIFY(window.open(bed->path("before" + ext)));
        const QString before = window.snapshot();

        bed->prompts.answerOpen(path);
        bed->prompts.answerMessage(Prompts::Answer::Ok);
        QElapsedTimer timer;
        timer.start();
        window.trigger(OpenItem);
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed()) + " ms"));
        QCOMPARE(bed->prompts.calls.size(), 2);
        bed->verifyOneMessage(QDir::toNativeSeparators(path),
                              fifo ? "it is not a regular file" : "input/output error");
        QCOMPARE(window.snapshot(), before);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tst_fileFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fileFaults.moc"
