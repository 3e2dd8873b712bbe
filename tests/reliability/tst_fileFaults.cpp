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
#include <sys/sysmacros.h>
#include <unistd.h>

#include "AppState.h"
#include "IniSettingsBackend.h"
#include "ReadOnlyPath.h"
#include "RecordingShell.h"
#include "Registry.h"
#include "ScriptedPrompts.h"
#include "frmMain.h"
#include "frmRMMulti.h"

namespace {

// File menu items, the same in both editors.
constexpr int OpenItem = 2;
constexpr int SaveItem = 4;
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
    QByteArray read(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
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
            // Root ignores permission bits: a read-only mount stands in for them there.
            row("Save As into a read-only folder", "locked/new" + ext, "read-only folder",
                " is read-only");
            row("Save over a read-only file", "doc" + ext, "read-only file", "it is read-only");
            row("Save As onto a link to a device", "dev" + ext, "device link",
                "it is not a regular file");
            row("Save on a full disk", "disk/doc" + ext, "full disk", "no space left on device");
        }
    }

    void failedSave_reportsAndKeepsEverything() {
        QFETCH(QString, kind);
        QFETCH(QString, target);
        QFETCH(QString, prepare);
        QFETCH(QString, reason);
        const bool titledSave =
            prepare == QLatin1String("read-only file") || prepare == QLatin1String("full disk");
        const QString path = bed->path(target);
        const QString folder = QFileInfo(path).absolutePath();
        std::unique_ptr<TinyDisk> disk;
        if (prepare == QLatin1String("full disk")) {
            QVERIFY(QDir().mkpath(folder));
            disk = std::make_unique<TinyDisk>(folder, "64k");
            if (!disk->error().isEmpty()) {
                QSKIP(qPrintable(disk->error()));
            }
        }
        // A window with a changed link: opened from the file when the save goes back to it.
        Window window(kind, bed->state);
        const QByteArray docBytes =
            target.endsWith(QLatin1String(".url")) ? ShortcutBefore : PlayListBefore;
        if (titledSave) {
            bed->write(target, docBytes);
            QVERIFY(window.open(path));
        }
        QTest::keyClicks(window.address(), QStringLiteral("x"));

        std::unique_ptr<ReadOnlyPath> readOnly;
        if (prepare == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
        } else if (prepare == QLatin1String("file")) {
            bed->write(QStringLiteral("plain.txt"), "plain text\n");
        } else if (prepare == QLatin1String("read-only folder")) {
            QVERIFY(QDir().mkpath(folder));
            readOnly = std::make_unique<ReadOnlyPath>(folder);
            reason = "the folder \"" + QDir::toNativeSeparators(folder) + '"' + reason;
        } else if (prepare == QLatin1String("read-only file")) {
            readOnly = std::make_unique<ReadOnlyPath>(path);
        } else if (prepare == QLatin1String("device link")) {
            QCOMPARE(::mknod(QFile::encodeName(path + ".dev"), S_IFCHR | 0666, makedev(1, 3)), 0);
            QVERIFY(QFile::link(path + ".dev", path));
        } else if (disk) {
            QVERIFY(disk->fill());
        }
        if (readOnly && !readOnly->error().isEmpty()) {
            QSKIP(qPrintable("cannot make a read-only path here: " + readOnly->error()));
        }
        const QString before = window.snapshot();

        if (!titledSave) {
            bed->prompts.answerSave(path);
        }
        bed->prompts.answerMessage(Prompts::Answer::Ok);
        window.trigger(titledSave ? SaveItem : SaveAsItem);
        bed->verifyOneMessage(QDir::toNativeSeparators(path), reason);

        QCOMPARE(window.snapshot(), before);
        QVERIFY(!QFileInfo::exists(bed->state.recentFile));
        struct stat st;
        if (titledSave) {
            QCOMPARE(bed->read(target), docBytes);
        } else if (prepare == QLatin1String("folder")) {
            QVERIFY(QFileInfo(path + QStringLiteral("/inside")).isDir());
        } else if (prepare == QLatin1String("device link")) {
            QVERIFY(QFileInfo(path).isSymLink() && ::stat(QFile::encodeName(path), &st) == 0 &&
                    S_ISCHR(st.st_mode));
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
    // Before Qt starts any thread: read-only mounts as root need a namespace of our own.
    const QString mounts = ReadOnlyPath::enterPrivateMounts();
    if (!mounts.isEmpty()) {
        qWarning().noquote() << "no private mounts, read-only rows will be skipped:" << mounts;
    }
    QApplication app(argc, argv);
    tst_fileFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fileFaults.moc"
