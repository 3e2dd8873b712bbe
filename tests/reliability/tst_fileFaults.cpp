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
#include "LinkFiles.h"
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

// One of the two editors, with what a user sees of it.
class EditorUnderTest {
public:
    EditorUnderTest(const QString& kind, AppState& state) {
        if (kind == QLatin1String("editor")) {
            editor_ = std::make_unique<frmMain>(state);
        } else {
            playList_ = std::make_unique<frmRMMulti>(state);
        }
    }
    QMainWindow* window() const {
        return editor_ ? static_cast<QMainWindow*>(editor_.get()) : playList_.get();
    }
    QLineEdit* addressBox() const { return editor_ ? editor_->txtURL : playList_->txtURL; }
    void trigger(int fileItem) const {
        (editor_ ? editor_->fileAction(fileItem) : playList_->fileAction(fileItem))->trigger();
    }
    bool openFile(const QString& path) const {
        return editor_ ? editor_->openFile(path) : playList_->openFile(path);
    }
    // Title, address box, list and the unsaved-changes flag.
    QString snapshot() const {
        const bool changed = editor_ ? editor_->urlChanged() : playList_->urlChanged();
        QString text = window()->windowTitle() + QLatin1Char('|') + addressBox()->text();
        if (playList_) {
            text += QLatin1Char('|') + playList_->entries().join(QLatin1Char(','));
        }
        return text + (changed ? QStringLiteral("|changed") : QStringLiteral("|clean"));
    }

private:
    std::unique_ptr<frmMain> editor_;
    std::unique_ptr<frmRMMulti> playList_;
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
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QByteArray read(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
};

// The one message the command showed: a warning or error that names the file and reason.
void verifyOneMessage(const ScriptedPrompts& prompts, const QString& path, const QString& reason) {
    QCOMPARE(prompts.calls.size(), 1);
    const ScriptedPrompts::Call& call = prompts.calls.first();
    QCOMPARE(call.kind, ScriptedPrompts::Kind::Message);
    QVERIFY(call.icon == Prompts::Icon::Warning || call.icon == Prompts::Icon::Critical);
    QVERIFY2(call.text.contains(QDir::toNativeSeparators(path)), qPrintable(call.text));
    QVERIFY2(call.text.contains(reason), qPrintable(call.text));
}

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
        for (const QString& kind : {QStringLiteral("editor"), QStringLiteral("play list")}) {
            const char* k = kind == QLatin1String("editor") ? "editor" : "play list";
            const QString ext =
                kind == QLatin1String("editor") ? QStringLiteral(".url") : QStringLiteral(".ram");
            // These hold for root too.
            QTest::addRow("%s: Save As onto a folder", k) << kind << "folder" + ext << "folder"
                                                          << "it is a folder";
            QTest::addRow("%s: Save As into a missing folder", k)
                << kind << "missing/new" + ext << ""
                << "does not exist";
            QTest::addRow("%s: Save As below a file", k)
                << kind << "plain.txt/new" + ext << "file plain.txt"
                << "is not a folder";
            // Root ignores permission bits: a read-only mount stands in for them there.
            QTest::addRow("%s: Save As into a read-only folder", k)
                << kind << "locked/new" + ext << "read-only folder locked"
                << "the folder \"" + QDir::toNativeSeparators(QStringLiteral("/locked")) +
                       "\" is read-only";
            QTest::addRow("%s: Save over a read-only file", k)
                << kind << "doc" + ext << "read-only file"
                << "it is read-only";
        }
    }

    void failedSave_reportsAndKeepsEverything() {
        QFETCH(QString, kind);
        QFETCH(QString, target);
        QFETCH(QString, prepare);
        QFETCH(QString, reason);
        const bool titledSave = prepare == QLatin1String("read-only file");
        const QString path = bed->path(target);
        // A window with a changed link: opened from doc.* when the save goes back to it.
        EditorUnderTest window(kind, bed->state);
        const QByteArray docBytes = target.endsWith(QLatin1String(".url"))
                                        ? ShortcutBefore
                                        : QByteArray("http://before.example/a.rm\r\n");
        if (titledSave) {
            bed->write(target, docBytes);
            QVERIFY(window.openFile(path));
        }
        QTest::keyClicks(window.addressBox(), QStringLiteral("x"));

        std::unique_ptr<ReadOnlyPath> readOnly;
        if (prepare == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(bed->path(target + QStringLiteral("/inside"))));
        } else if (prepare.startsWith(QLatin1String("file "))) {
            bed->write(prepare.mid(5), "plain text\n");
        } else if (prepare.startsWith(QLatin1String("read-only folder "))) {
            const QString folder = bed->path(prepare.section(QLatin1Char(' '), 2));
            QVERIFY(QDir().mkpath(folder));
            readOnly = std::make_unique<ReadOnlyPath>(folder);
            reason.replace(QDir::toNativeSeparators(QStringLiteral("/locked")),
                           QDir::toNativeSeparators(folder));
        } else if (titledSave) {
            readOnly = std::make_unique<ReadOnlyPath>(path);
        }
        if (readOnly && !readOnly->error().isEmpty()) {
            QSKIP(qPrintable(QStringLiteral("cannot make a read-only path here: ") +
                             readOnly->error()));
        }
        const QString before = window.snapshot();

        if (titledSave) {
            bed->prompts.answerMessage(Prompts::Answer::Ok);
            window.trigger(SaveItem);
        } else {
            bed->prompts.answerSave(path);
            bed->prompts.answerMessage(Prompts::Answer::Ok);
            window.trigger(SaveAsItem);
        }
        if (!titledSave) {
            QVERIFY(!bed->prompts.calls.isEmpty());
            QCOMPARE(bed->prompts.calls.first().kind, ScriptedPrompts::Kind::Save);
            bed->prompts.calls.removeFirst();
        }
        verifyOneMessage(bed->prompts, path, reason);

        QCOMPARE(window.snapshot(), before);
        QVERIFY(!QFileInfo::exists(bed->state.recentFile));
        if (titledSave) {
            QCOMPARE(bed->read(target), docBytes);
        } else if (prepare == QLatin1String("folder")) {
            QVERIFY(QFileInfo(path + QStringLiteral("/inside")).isDir());
        } else {
            QVERIFY(!QFileInfo::exists(path));
        }
    }

    void failedOpen_reportsAtOnceAndKeepsTheWindow_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("make");
        QTest::addColumn<QString>("reason");
        struct Case {
            const char* what;
            const char* make;
            const char* reason;
        };
        const Case cases[] = {
            {"a sparse 200 MB file", "sparse", "it is larger than"},
            {"NUL bytes", "nul", ""},
            {"a folder", "folder", "it is a folder"},
            {"a FIFO", "fifo", "it is not a regular file"},
            {"no read permission", "unreadable", "permission denied"},
            {"a read that fails", "failing read", "input/output error"},
        };
        const QList<std::pair<QString, QString>> kinds = {
            {QStringLiteral("editor"), QStringLiteral(".url")},
            {QStringLiteral("editor"), QStringLiteral(".ram")},
            {QStringLiteral("play list"), QStringLiteral(".ram")},
        };
        for (const auto& [kind, ext] : kinds) {
            for (const Case& c : cases) {
                QString reason = QString::fromLatin1(c.reason);
                if (reason.isEmpty()) {
                    reason = ext == QLatin1String(".url") ? QStringLiteral("it has no URL entry")
                                                          : QStringLiteral("it holds binary data");
                }
                QTest::addRow("%s, %s: %s", qPrintable(kind), qPrintable(ext), c.what)
                    << kind << QStringLiteral("bad") + ext << QString::fromLatin1(c.make) << reason;
            }
        }
    }

    void failedOpen_reportsAtOnceAndKeepsTheWindow() {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(QString, make);
        QFETCH(QString, reason);
        const QString path = bed->path(name);
        if (make == QLatin1String("sparse")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(200) * 1024 * 1024));
        } else if (make == QLatin1String("nul")) {
            bed->write(name, QByteArray(4096, '\0'));
        } else if (make == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (make == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (make == QLatin1String("unreadable")) {
            if (geteuid() == 0) {
                QSKIP("root reads every file whatever its permissions");
            }
            bed->write(name, ShortcutBefore);
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        } else if (make == QLatin1String("failing read")) {
            // Opens as a regular file, but reading at offset 0 fails (nothing is mapped
            // there), as a bad disk block would: root cannot read it either.
            QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
        }

        // The window holds a link opened from a file: titled, clean.
        EditorUnderTest window(kind, bed->state);
        const QString ext = name.right(4);
        bed->write(QStringLiteral("before") + ext,
                   ext == QLatin1String(".url") ? ShortcutBefore : PlayListBefore);
        QVERIFY(window.openFile(bed->path(QStringLiteral("before") + ext)));
        const QString before = window.snapshot();

        bed->prompts.answerOpen(path);
        bed->prompts.answerMessage(Prompts::Answer::Ok);
        QElapsedTimer timer;
        timer.start();
        window.trigger(OpenItem);
        const qint64 elapsed = timer.elapsed();

        QCOMPARE(bed->prompts.calls.size(), 2);
        QCOMPARE(bed->prompts.calls.first().kind, ScriptedPrompts::Kind::Open);
        bed->prompts.calls.removeFirst();
        verifyOneMessage(bed->prompts, path, reason);
        QVERIFY2(elapsed < 1000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
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
