#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "Fixture.h"
#include "LinkFiles.h"
#include "LinkKinds.h"
#include "LinkLaunchCheck.h"
#include "RecentList.h"
#include "TextFileIo.h"

namespace {

QByteArray utf16(QStringView text) {  // little-endian, as the test machines are
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

constexpr int Other = 4242;  // a user who is not root; the files' owner is one more
const char* const Full = "no space left on device";
// Empty when the process has mounts of its own (see main), else why it has not.
QString privateMounts;

// Runs `job` as `uid` (in the group Other + 1) in a child process and returns what it said;
// root runs it itself.
QString runAs(int uid, const std::function<QString()>& job) {
    int channel[2];
    if (uid == 0 || ::pipe(channel) != 0) {
        return job();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t group = Other + 1;
        const QByteArray said =
            ::setgroups(1, &group) == 0 && ::setgid(gid_t(uid)) == 0 && ::setuid(uid_t(uid)) == 0
                ? job().toUtf8()
                : QByteArray("could not become the user");
        [[maybe_unused]] const ssize_t n =
            ::write(channel[1], said.constData(), size_t(said.size()));
        ::_exit(0);
    }
    ::close(channel[1]);
    QFile answer;
    answer.open(channel[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QString said = QString::fromUtf8(answer.readAll());
    ::waitpid(child, nullptr, 0);
    return said;
}

}  // namespace

class tst_links : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;

private slots:
    void init() { f = std::make_unique<Fixture>(); }

    // https is its own Link item, not Web, and switching its scheme word replaces it whole.
    void kinds_httpsIsNotWeb() {
        QCOMPARE(recognizedMenuIndex("https://a/").value_or(-1), 8);
        QCOMPARE(switchSchemeWord("https://a/", "http"), QStringLiteral("http://a/"));
    }

    // A shortcut is read, then saved with another address: only the URL value changes, every
    // other byte stays.
    void shortcut_data() {
        // bytes null: no file yet; address "!" + reason when it cannot be read; resaved with
        // http://bü/.
        columns<QByteArray, QString, QByteArray>("bytes", "address", "resaved");
        const auto row = [](const char* tag, QByteArray bytes, QString address,
                            QByteArray resaved) {
            QTest::newRow(tag) << bytes << address << resaved;
        };
        const QString noUrl = QStringLiteral("!it has no URL entry");
        row("no file yet", QByteArray(), "!it does not exist",
            "[InternetShortcut]\r\nURL=http://b\xC3\xBC/\r\n");
        row("names in any case, blanks around them", "  [ internetSHORTCUT ]\r\n\turl \t=http://a/",
            "http://a/", "  [ internetSHORTCUT ]\r\n\turl \t=http://b\xC3\xBC/");
        row("URL after the section ignored, added after the header, LF kept",
            "[InternetShortcut]\nIconIndex=0\n[O]\nURL=no\n", noUrl,
            "[InternetShortcut]\nURL=http://b\xC3\xBC/\nIconIndex=0\n[O]\nURL=no\n");
        row("section added after an unended line", "[DEFAULT]\r\nBASEURL=x", noUrl,
            "[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\nURL=http://b\xC3\xBC/\r\n");
        row("UTF-8 mark and Latin-1 bytes kept",
            "\xEF\xBB\xBF[InternetShortcut]\r\n;caf\xE9\r\nURL=x", "x",
            "\xEF\xBB\xBF[InternetShortcut]\r\n;caf\xE9\r\nURL=http://b\xC3\xBC/");
        row("NUL bytes kept with every other key",
            QByteArrayLiteral("[A]\nk=\0\n[InternetShortcut]\nURL=x\nI=1\n"), "x",
            QByteArrayLiteral("[A]\nk=\0\n[InternetShortcut]\nURL=http://b\xC3\xBC/\nI=1\n"));
        row("UTF-16, odd last byte kept",
            "\xFF\xFE" + utf16(u"[InternetShortcut]\nURL=\u00E9\n") + '\x01', QString(QChar(0xE9)),
            "\xFF\xFE" + utf16(u"[InternetShortcut]\nURL=http://bü/\n") + '\x01');
    }
    void shortcut() {
        auto [bytes, address, resaved] =
            fetch<QByteArray, QString, QByteArray>("bytes", "address", "resaved");
        const QString path = f->write("f.URL", bytes);
        const ReadResult<LinkFileContent> read = readLinkFile(path);
        QCOMPARE(read.ok() ? read.value.addresses.value(0) : read.error,
                 address.startsWith('!') ? TextFileIo::readError(path, address.mid(1)) : address);
        QCOMPARE(writeInternetShortcut(path, QString::fromUtf8("http://bü/"), true), QString());
        QCOMPARE(f->read("f.URL"), resaved);
    }

    void playList_overALongerFile_isWrittenWhole() {
        const QString path = f->write("p.RAM", QByteArray(100, 'x'));
        QCOMPARE(writeRealMedia(path, {"A", "", "B"}), QString());
        QCOMPARE(f->read("p.RAM"), QByteArray("A\r\n\r\nB\r\n"));
        QCOMPARE(readLinkFile(path).value.addresses, QStringList({"A", "", "B"}));
    }

    // Each reader splits lines at CR LF, CR or LF (CR LF and CR alone in the program's own
    // data files), decodes each alone, and refuses what it cannot hold, naming the file and
    // the reason. The file's name tells the reader: list.dat is read with the size cap after
    // its name; "newest" reads the lines wholly in the last cap bytes, the last three at most.
    // Bytes "folder", "huge" and "pipe" are made so; lines {"!reason"}: refused.
    void read_data() {
        columns<QString, QByteArray, QStringList>("file", "bytes", "lines");
        const QByteArray atCap(lineCap, 'a');
        const QString longLine = QStringLiteral("!it has a line longer than 256 KiB");
        const auto row = [](const char* tag, const char* file, const QByteArray& bytes,
                            const QStringList& lines) {
            QTest::newRow(tag) << file << bytes << lines;
        };
        row("mixed ends, blanks kept, only the leading mark skipped", "a.ram",
            "\xEF\xBB\xBF\xEF\xBB\xBF A\r\n\tB\rC\nD ",
            {QChar(0xFEFF) + QStringLiteral(" A"), "\tB", "C", "D "});
        row("each line decoded alone, overlong form is Latin-1", "a.ram",
            "caf\xE9\rcaf\xC3\xA9\n\xC0\xAF", {"caf\u00E9", "caf\u00E9", "\u00C0\u00AF"});
        row("data file: LF in a line, cut character is Latin-1", "tod.dat", "a\nb\r\nc\r\xE2\x82",
            {"a\nb", "c", "\u00E2\u0082"});
        row("exactly the cap", "list.dat 11", "old\n/a.url\n", {"old", "/a.url"});
        row("newest: cut line dropped", "list.dat 16 newest", "cut.url\r\n/a.url\r\n/b",
            {"/a.url", "/b"});
        row("folder", "d.ram", "folder", {"!it is a folder"});
        row("pipe, not waited on", "p.url", "pipe", {"!it is not a regular file"});
        row("100 MB file", "big.ram", "huge", {"!it is larger than 64 MiB"});
        row("NUL bytes in RealMedia link", "b.ram", QByteArrayLiteral("http://a/\r\n\0\1\r\n"),
            {"!it holds binary data, not lines of text"});
        row("address over the line cap", "b.ram", "x\r\n" + atCap + "a", {longLine});
        row("shortcut address over the line cap", "c.url",
            "[InternetShortcut]\r\nURL=" + atCap + "a", {longLine});
        row("entries over the count cap", "e.ram", QByteArray(lineCountCap + 1, '\n'),
            {"!it holds more than 1,000,000 lines"});
        row("recent path over the line cap", "recent.dat", "/a.url\r\n" + atCap + "a", {longLine});
        row("recent list over the count cap keeps the newest", "recent.dat",
            "/old\n" + QByteArray(lineCountCap, '\n'), QStringList(lineCountCap, QString()));
        row("tips file over the line cap", "tod.dat", "tip\n" + atCap, {longLine});
    }
    void read() {
        auto [file, bytes, lines] =
            fetch<QString, QByteArray, QStringList>("file", "bytes", "lines");
        const QString name = file.section(' ', 0, 0);
        const QString path = f->path(name);
        if (bytes == "folder") {
            QVERIFY(QDir().mkdir(path));
        } else if (bytes == "pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(path), 0600), 0);
        } else {
            f->write(name, bytes);
            QVERIFY(bytes != "huge" || QFile::resize(path, 100 * 1000 * 1000));  // sparse
        }
        ReadResult<QStringList> read;
        if (name == "list.dat") {
            LineStore::Rules rules;
            rules.keepNewest = file.endsWith("newest");
            rules.countCap = rules.keepNewest ? 3 : -1;
            const auto got =
                TextFileIo::readLineFile(path, file.section(' ', 1, 1).toInt(), rules, false);
            read = {got.value.toStringList(), got.error};
        } else if (name == "tod.dat") {
            read.error = TextFileIo::readDataFile(path, read.value);
        } else if (name == "recent.dat") {
            read = RecentList::read(path);
        } else {
            const auto got = readLinkFile(path);
            read = {got.value.addresses, got.error};
        }
        const bool refused = lines.value(0).startsWith('!');
        QCOMPARE(read.error, refused ? TextFileIo::readError(path, lines[0].mid(1)) : QString());
        QCOMPARE(read.value, refused ? read.value : lines);
    }

    // Saves on a disk that fills up, over devices and folders, and by users who may not hand
    // a file over or write its folder: done with the owner, group and mode kept, or refused
    // with the old bytes kept. Root only (a small tmpfs, other users); the saver is a child
    // process, a user id in the file's group. The file is named in the disk's folder, which
    // holds the file "plain"; its mode -1 makes it a link to a device, -2 leaves it out, -3
    // makes it a folder. An empty reason: saved.
    void save_keepsOwnerModeAndOldBytes_data() {
        columns<QString, int, int, int, QString>("file", "folderMode", "fileMode", "saver",
                                                 "reason");
        row("full disk, shortcut", "f.url", 0777, 0640, 0, Full);
        row("full disk, no cut line", "f.recent", 0777, 0640, 0, Full);
        row("full disk, in place", "f.ram", 0755, 0666, Other, Full);
        row("link to a device", "f.url", 0777, -1, 0, "it is not a regular file");
        row("onto a folder", "f.ram", 0777, -3, 0, "it is a folder");
        row("into a missing folder", "no/f.ram", 0777, -2, 0, "the folder \"%1\" does not exist");
        row("below a file", "plain/f.url", 0777, -2, 0, "\"%1\" is not a folder");
        row("root saves another's", "f.ram", 0777, 02640, 0, "");
        row("group member saves in place", "f.url", 0777, 0660, Other, "");
        row("read-only folder", "f.ram", 0755, 0666, Other, "");
        row("read-only file", "f.url", 0777, 0644, Other, "it is read-only");
        row("new file, read-only folder", "f.ram", 0755, -2, Other,
            "the folder \"%1\" is read-only");
        row("unreadable shortcut kept", "f.url", 0777, 0220, Other,
            "its other entries could not be read (permission denied)");
    }
    void save_keepsOwnerModeAndOldBytes() {
        auto [file, folderMode, fileMode, saver, reason] = fetch<QString, int, int, int, QString>(
            "file", "folderMode", "fileMode", "saver", "reason");
        const QString folder = f->path(QStringLiteral("disk"));
        QVERIFY(QDir().mkdir(folder) && ::chmod(QFile::encodeName(f->dir.path()), 0755) == 0);
        // A tmpfs of 64 KiB that only this process sees, so that a save can fill it.
        const QByteArray mountPoint = QFile::encodeName(folder);
        if (!privateMounts.isEmpty() ||
            ::mount("tmpfs", mountPoint, "tmpfs", 0, "mode=0777,size=64k") != 0) {
            QSKIP(qPrintable(privateMounts.isEmpty() ? "tmpfs: " + qt_error_string()
                                                     : privateMounts));
        }
        const auto unmount = qScopeGuard([&] { ::umount2(mountPoint, MNT_DETACH); });
        f->write("disk/plain", "x");
        const QString path = f->path("disk/" + file);
        const QByteArray native = QFile::encodeName(path);
        // A shortcut with more than its address; a recent list whose next line needs a page.
        const QByteArray old = file.endsWith("recent")
                                   ? "/" + QByteArray(4087, 'a') + "\r\n"
                                   : "[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=3\r\n";
        if (fileMode > 0) {
            f->write("disk/" + file, old);
            QCOMPARE(::chown(native, Other + 1, Other + 1), 0);
            QCOMPARE(::chmod(native, mode_t(fileMode)), 0);
        } else if (fileMode == -1) {
            QCOMPARE(::mknod(native + ".dev", S_IFCHR | 0666, makedev(1, 3)), 0);
            QCOMPARE(::symlink(native + ".dev", native), 0);
        } else if (fileMode == -3) {
            f->write("disk/" + file + "/inside", "x");
        }
        QVERIFY(::chmod(QFile::encodeName(folder), mode_t(folderMode)) == 0);
        if (reason == Full) {
            QFile filler(folder + "/.filler");
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(4096, 'f')) > 0) {
            }
            QCOMPARE(filler.error(), QFileDevice::ResourceError);  // the disk is full
        }
        struct stat before {};
        QCOMPARE(::stat(native, &before), fileMode != -2 ? 0 : -1);

        const QString address = QStringLiteral("http://new/") + QString(5000, 'n');
        const QString error = runAs(saver, [&] {
            return file.endsWith("url")   ? writeInternetShortcut(path, address, true)
                   : file.endsWith("ram") ? writeRealMedia(path, {address})
                                          : RecentList::append(path, address);
        });
        reason.replace("%1", QFileInfo(path).absolutePath());
        QCOMPARE(error, reason.isEmpty() ? reason : TextFileIo::saveError(path, reason));
        struct stat after {};
        QCOMPARE(::stat(native, &after), fileMode != -2 ? 0 : -1);
        const auto kept = [](const struct stat& st) {
            return QList<qint64>{st.st_mode, st.st_uid, st.st_gid, qint64(st.st_rdev)};
        };
        QCOMPARE(kept(after), kept(before));
        QVERIFY(fileMode < 0 || f->read("disk/" + file) ==
                                    (!reason.isEmpty()      ? old
                                     : file.endsWith("ram") ? realMediaBytes({address})
                                                            : internetShortcutBytes(address, old)));
    }

    // A save killed at any moment (SIGKILL: no chance to tidy up) leaves the old file or the
    // new one whole, never a mix or a stub, and nothing beside it that is not whole. A child
    // saves two versions by turns; each round kills it at a random moment.
    void killedSave_leavesOldOrNewFileWhole() {
        const QString path = f->path(QStringLiteral("link.ram"));
        // About 2 MB each, so that a kill often lands in the middle of a write.
        QStringList lists[2];
        for (int i = 0; i < 80000; ++i) {
            lists[i % 2] << QStringLiteral("http://stream.example/v%1/clip%2.rm").arg(i % 2).arg(i);
        }
        const QByteArray versions[2] = {realMediaBytes(lists[0]), realMediaBytes(lists[1])};
        QElapsedTimer oneSave;
        oneSave.start();
        QCOMPARE(writeRealMedia(path, lists[0]), QString());
        const qint64 saveMicros = oneSave.nsecsElapsed() / 1000 + 1;
        QRandomGenerator random(20261206);
        int seen[2] = {0, 0};
        QElapsedTimer budget;
        budget.start();
        for (int round = 0; round < 40 && budget.elapsed() < 20000; ++round) {
            const pid_t saver = ::fork();
            if (saver == 0) {
                for (int i = 1; writeRealMedia(path, lists[i % 2]).isEmpty(); ++i) {
                }
                ::_exit(1);
            }
            // Timed by the first save, the kill lands in one of the next five.
            ::usleep(useconds_t(random.bounded(5 * saveMicros)));
            QCOMPARE(::kill(saver, SIGKILL), 0);
            QCOMPARE(::waitpid(saver, nullptr, 0), saver);
            // A kill between naming the finished new file and the rename leaves it beside.
            for (const QString& name : QDir(f->dir.path()).entryList(QDir::Files | QDir::Hidden)) {
                const QByteArray bytes = f->read(name);
                QVERIFY2(bytes == versions[0] || bytes == versions[1], qPrintable(name));
                QVERIFY(name == "link.ram" || QFile::remove(f->path(name)));
            }
            ++seen[f->read("link.ram") == versions[1] ? 1 : 0];
        }
        // Kills landed at different points: both versions were left at least once.
        QVERIFY(seen[0] > 0 && seen[1] > 0);
    }

    void recentAppend_addsPathOnItsOwnLine_data() {
        // before null: no file yet
        columns<QByteArray, QString, QByteArray>("before", "path", "after");
        row("first save creates the file, path as UTF-8", QByteArray(),
            QString::fromUtf8("/bü.url"), QByteArray("/b\xC3\xBC.url\r\n"));
        row("last line without end", QByteArray("/a.url"), "/b.ram",
            QByteArray("/a.url\r\n/b.ram\r\n"));
        row("path with a line break refused", QByteArray("/a.url\r\n"), "/a\nb.url",
            QByteArray("/a.url\r\n"));
    }
    void recentAppend_addsPathOnItsOwnLine() {
        auto [before, path, after] =
            fetch<QByteArray, QString, QByteArray>("before", "path", "after");
        const QString recent = f->write("recent.dat", before);
        QCOMPARE(RecentList::append(recent, path),
                 !path.contains('\n') ? QString()
                                      : TextFileIo::saveError(recent, "the path \"" + path +
                                                                          "\" holds a line break"));
        QCOMPARE(f->read("recent.dat"), after);
    }

    // Browse must never hand the desktop an address that starts a program on this computer,
    // however the address names it and whatever the program's file is called.
    void localProgramPath_data() {
        columns<QString, bool>("address", "refused");  // %1: a folder holding the files below
        QTest::newRow("executable mode") << "file://%1/tool" << true;
        QTest::newRow("host localhost") << "file://localhost%1/tool" << true;
        QTest::newRow("launcher by content, no suffix") << "file:%1/launcher" << true;
        QTest::newRow("script by #!") << "%1/script" << true;
        QTest::newRow("text file") << "file://localhost%1/notes.txt" << false;
        QTest::newRow("named pipe is not read") << "%1/pipe" << false;
    }
    void localProgramPath() {
        auto [address, refused] = fetch<QString, bool>("address", "refused");
        f->write("tool", "plain text");
        f->write("launcher", "\xEF\xBB\xBF# made by hand\n\n[Desktop Entry]\nExec=/usr/bin/env\n");
        f->write("script", "#!/bin/sh\n");
        f->write("notes.txt", "hello\n");
        QVERIFY(QFile::setPermissions(f->path("tool"), QFile::ReadOwner | QFile::ExeOther));
        QCOMPARE(::mkfifo(qPrintable(f->path("pipe")), 0600), 0);
        const QString path = ::localProgramPath(address.arg(f->dir.path()));
        QCOMPARE(!path.isEmpty(), refused);
        QVERIFY(path.isEmpty() || QFileInfo(path).canonicalFilePath().startsWith(f->dir.path()));
    }
};

int main(int argc, char* argv[]) {
    // Before Qt starts any thread: a mount namespace of the process's own.
    if (::geteuid() != 0) {
        privateMounts = QStringLiteral("mounting a tmpfs needs root");
    } else if (::unshare(CLONE_NEWNS) != 0 ||
               ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        privateMounts = "no mounts of its own: " + qt_error_string();
    }
    QCoreApplication app(argc, argv);
    tst_links test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_links.moc"
