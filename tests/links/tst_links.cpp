#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>

#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "LinkFiles.h"
#include "LinkKinds.h"
#include "LinkLaunchCheck.h"
#include "RecentList.h"
#include "TextFileIo.h"
#include "TinyDisk.h"

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

template <qsizetype N>
QByteArray raw(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

QByteArray utf16(QStringView text) {  // little-endian, as the test machines are
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QString sample(const QString& name) {
    return QFINDTESTDATA(QStringLiteral("fixtures/") + name);
}

constexpr int Other = 4242;  // a user who is not root; the files' owner is one more

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
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void recognizedMenuIndex_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("menuIndex");  // -1: not recognised
        QTest::newRow("web") << "http://example.com/" << 7;
        QTest::newRow("https is not web") << "https://example.com" << 8;
        QTest::newRow("telnet without slashes") << "telnet:host" << 6;
        QTest::newRow("capital FTP") << "FTP://host" << -1;
        QTest::newRow("ftp with one slash") << "ftp:/host" << -1;
    }
    void recognizedMenuIndex() {
        QFETCH(QString, address);
        QFETCH(int, menuIndex);
        QCOMPARE(::recognizedMenuIndex(address).value_or(-1), menuIndex);
    }

    void split_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("lfEndsLine");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("mixed ends, blanks kept")
            << QByteArray(" A\r\n\tB\rC\nD ") << true << QStringList{" A", "\tB", "C", "D "};
        QTest::newRow("LF CR is two ends")
            << QByteArray("A\n\rB") << true << QStringList{"A", "", "B"};
        QTest::newRow("only the leading mark skipped")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF/a") << true
            << QStringList{QChar(0xFEFF) + QStringLiteral("/a")};
        QTest::newRow("each line decoded alone")
            << QByteArray("caf\xE9\rcaf\xC3\xA9") << true << QStringList{"caf\u00E9", "caf\u00E9"};
        QTest::newRow("overlong form is Latin-1")
            << QByteArray("\xC0\xAF") << true << QStringList{"\u00C0\u00AF"};
        QTest::newRow("LF is part of a data file's line, cut character is Latin-1")
            << QByteArray("a\nb\r\nc\r\xE2\x82") << false
            << QStringList{"a\nb", "c", "\u00E2\u0082"};
    }
    void split() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, lfEndsLine);
        QFETCH(QStringList, lines);
        LineStore::Rules rules;
        rules.lfEndsLine = lfEndsLine;
        LineStore store;
        QCOMPARE(LineStore::split(bytes, false, rules, store), QString());
        QCOMPARE(store.toStringList(), lines);
    }

    // Of a file over the size cap, the lines wholly in its last cap bytes are read; over the
    // count cap, the newest lines.
    void readLineFile_caps_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("cap");
        QTest::addColumn<int>("countCap");
        QTest::addColumn<bool>("keepNewest");
        QTest::addColumn<QStringList>("lines");  // {"!"}: refused as too large
        const QByteArray two("old\n/a.url\n");
        QTest::newRow("exactly the cap")
            << two << 11 << -1 << false << QStringList{"old", "/a.url"};
        QTest::newRow("over the cap") << two << 10 << -1 << false << QStringList{"!"};
        QTest::newRow("newest: line on the cut kept")
            << two << 7 << -1 << true << QStringList{"/a.url"};
        QTest::newRow("newest: cut line dropped") << QByteArray("cut.url\r\n/a.url\r\n/b") << 16
                                                  << -1 << true << QStringList{"/a.url", "/b"};
        QTest::newRow("newest: oldest lines over the count dropped")
            << QByteArray("/old\n\n/new\n") << 99 << 2 << true << QStringList{"", "/new"};
    }
    void readLineFile_caps() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, cap);
        QFETCH(int, countCap);
        QFETCH(bool, keepNewest);
        QFETCH(QStringList, lines);
        LineStore::Rules rules;
        rules.countCap = countCap;
        rules.keepNewest = keepNewest;
        const QString path = dir->filePath("list.dat");
        QVERIFY(putFile(path, bytes));
        const ReadResult<LineStore> read = TextFileIo::readLineFile(path, cap, rules, false);
        const bool refused = lines == QStringList{"!"};
        QCOMPARE(read.error, refused ? TextFileIo::readError(path, TextFileIo::tooLargeReason(cap))
                                     : QString());
        QCOMPARE(read.value.toStringList(), refused ? QStringList() : lines);
    }

    void edits_keepEveryOtherEntryAsItWas() {
        LineStore store;
        LineStore::split("caf\xE9\n\xEF\xBB\xBFz\n", false, LineStore::Rules(), store);
        for (const char* text : {"Ã©", "a\r\nb", "\uFEFFx", ""}) {
            QVERIFY(store.append(text));
        }
        store.removeAt(1);
        store.swapItemsAt(0, 3);
        QVERIFY(store.append(LineStore(QStringList{"y"})));
        QCOMPARE(store.toStringList(),
                 QStringList({"\uFEFFx", "Ã©", "a\r\nb", "caf\u00E9", "", "y"}));
    }

    void parseInternetShortcut_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("address");  // "!" + reason when it is an error
        QTest::newRow("names in any case, blanks around them")
            << QByteArray("  [ internetSHORTCUT ]  \r\n\turl \t=http://a/\r\n") << "http://a/";
        QTest::newRow("value kept as it stands, first URL wins")
            << QByteArray("[InternetShortcut]\r\nURL= http://a/?b=1,c\\d  \r\nURL=http://2/\r\n")
            << " http://a/?b=1,c\\d  ";
        QTest::newRow("URL of another section ignored")
            << QByteArray("[Other]\r\nURL=http://no/\r\n[InternetShortcut]\r\nURL=http://yes/\r\n")
            << "http://yes/";
        QTest::newRow("URL after the section ignored")
            << QByteArray("[InternetShortcut]\r\nIconIndex=0\r\n[Other]\r\nURL=http://no/\r\n")
            << "!it has no URL entry";
        QTest::newRow("UTF-8 mark skipped")
            << QByteArray("\xEF\xBB\xBF[InternetShortcut]\r\nURL=x\r\n") << "x";
        QTest::newRow("Latin-1 address")
            << QByteArray("[InternetShortcut]\r\nURL=http://b\xFC/\r\n")
            << QString::fromUtf8("http://bü/");
    }
    void parseInternetShortcut() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, address);
        const ReadResult<QString> result = ::parseInternetShortcut(bytes);
        const bool error = address.startsWith(QLatin1Char('!'));
        QCOMPARE(result.error, error ? address.mid(1) : QString());
        QCOMPARE(result.value, error ? QString() : address);
    }

    void internetShortcutBytes_overExisting_replacesOnlyUrl_data() {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QByteArray>("expected");  // with http://new/ or http://bü/
        QTest::newRow("URL key added after the header, LF ends kept")
            << QByteArray("[InternetShortcut]\nIconIndex=1\n")
            << QByteArray("[InternetShortcut]\nURL=http://new/\nIconIndex=1\n");
        QTest::newRow("section added after an unended line")
            << QByteArray("[DEFAULT]\r\nBASEURL=x")
            << QByteArray("[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\nURL=http://new/\r\n");
        QTest::newRow("Latin-1 bytes and UTF-8 mark kept")
            << QByteArray("\xEF\xBB\xBF; caf\xE9\r\n[InternetShortcut]\r\nURL=x\r\n")
            << QByteArray(
                   "\xEF\xBB\xBF; caf\xE9\r\n[InternetShortcut]\r\nURL=http://b\xC3\xBC/\r\n");
        QTest::newRow("NUL bytes kept with every other key")
            << raw("[A]\r\nk=\0\r\n[InternetShortcut]\r\nURL=x\r\nIconIndex=1\r\n")
            << raw("[A]\r\nk=\0\r\n[InternetShortcut]\r\nURL=http://new/\r\nIconIndex=1\r\n");
        QTest::newRow("UTF-16 odd last byte kept")
            << "\xFF\xFE" + utf16(u"[I]\n") + '\x01'
            << "\xFF\xFE" + utf16(u"[I]\n[InternetShortcut]\nURL=http://new/\n") + '\x01';
    }
    void internetShortcutBytes_overExisting_replacesOnlyUrl() {
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, expected);
        const QString address =
            QString::fromUtf8(expected.contains("b\xC3\xBC") ? "http://bü/" : "http://new/");
        const QByteArray bytes = internetShortcutBytes(address, existing);
        QCOMPARE(bytes, expected);
        QCOMPARE(::parseInternetShortcut(bytes).value, address);
    }

    void writeThenRead_givesBackWhatWasWritten_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("keepOtherKeys");
        QTest::addColumn<QByteArray>("old");  // empty: no file yet
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::newRow("shortcut saved as over a full one")
            << "a.url" << false << fileBytes(sample("explorer.url")) << QStringList{"ftp://h/"}
            << QByteArray("[InternetShortcut]\r\nURL=ftp://h/\r\n");
        QTest::newRow("new shortcut keeping keys, trailing blank")
            << "b.URL" << true << QByteArray() << QStringList{QString::fromUtf8("http://bü/ ")}
            << QByteArray("[InternetShortcut]\r\nURL=http://b\xC3\xBC/ \r\n");
        QTest::newRow("play list over a longer file")
            << "p.RAM" << false << QByteArray(100, 'x') << QStringList{"A", "", "B"}
            << QByteArray("A\r\n\r\nB\r\n");
    }
    void writeThenRead_givesBackWhatWasWritten() {
        QFETCH(QString, name);
        QFETCH(bool, keepOtherKeys);
        QFETCH(QByteArray, old);
        QFETCH(QStringList, addresses);
        QFETCH(QByteArray, onDisk);
        const QString path = dir->filePath(name);
        QVERIFY(old.isEmpty() || putFile(path, old));
        const QString error = linkFileType(path) == LinkFileType::RealMedia
                                  ? writeRealMedia(path, addresses)
                                  : writeInternetShortcut(path, addresses.value(0), keepOtherKeys);
        QCOMPARE(error, QString());
        QCOMPARE(fileBytes(path), onDisk);
        const ReadResult<LinkFileContent> read = readLinkFile(path);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.value.addresses, addresses);
    }

    // Real shortcuts saved with another address and then the first again are byte for byte
    // as they were.
    void sampleShortcuts_readAndWriteBackUnchanged_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::newRow("browser shortcut with BASEURL") << "browser.url"
                                                       << "ftp://ftp.example.org/pub/readme.txt";
        QTest::newRow("UTF-16 shortcut")
            << "unicode.url" << QString::fromUtf8("http://bücher.example/été");
        QTest::newRow("shortcut with LF ends") << "linux.url"
                                               << "gopther://gopher.example.org/1/";
    }
    void sampleShortcuts_readAndWriteBackUnchanged() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        const QString copy = dir->filePath(name);
        QVERIFY(QFile::copy(sample(name), copy));
        QCOMPARE(readInternetShortcut(copy).value, address);
        QCOMPARE(writeInternetShortcut(copy, QStringLiteral("http://other/"), true), QString());
        QCOMPARE(readInternetShortcut(copy).value, QStringLiteral("http://other/"));
        QCOMPARE(writeInternetShortcut(copy, address, true), QString());
        QCOMPARE(fileBytes(copy), fileBytes(sample(name)));
    }

    // Each reader refuses what it cannot hold, naming the file and the reason.
    void read_refusesNamingFileAndReason_data() {
        QTest::addColumn<QString>("name");  // tod.dat and recent.dat: those readers
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");  // empty: read
        const QByteArray atCap(lineCap, 'a');
        const QString longLine = QStringLiteral("it has a line longer than 256 KiB");
        const auto row = [](const char* tag, const char* name, const char* setup,
                            const QByteArray& bytes, const QString& reason) {
            QTest::newRow(tag) << name << setup << bytes << reason;
        };
        row("missing", "gone/a.url", "none", "", "it does not exist");
        row("folder", "d.ram", "folder", "", "it is a folder");
        row("unreadable", "u.url", "unreadable", "[InternetShortcut]\r\nURL=x\r\n",
            "permission denied");
        row("pipe", "p.url", "fifo", "", "it is not a regular file");
        row("100 MB file", "big.ram", "huge", "", "it is larger than 64 MiB");
        row("NUL bytes in RealMedia link", "b.ram", "", raw("http://a/\r\n\0\1\r\n"),
            "it holds binary data, not lines of text");
        row("not a link file", "a.url.txt", "", "[InternetShortcut]\r\nURL=x\r\n",
            "it is not a link file (*.url or *.ram)");
        row("address of exactly the line cap", "a.ram", "", atCap + "\r\n", "");
        row("address over the line cap", "b.ram", "", "x\r\n" + atCap + "a", longLine);
        row("shortcut address over the line cap", "c.url", "",
            "[InternetShortcut]\r\nURL=" + atCap + "a", longLine);
        row("entries over the count cap", "e.ram", "", QByteArray(lineCountCap + 1, '\n'),
            "it holds more than 1,000,000 lines");
        row("recent path over the line cap", "recent.dat", "", "/a.url\r\n" + atCap + "a",
            longLine);
        row("recent list over the count cap keeps the newest", "recent.dat", "",
            QByteArray(lineCountCap + 1, '\n'), "");
        row("tips file over the line cap", "tod.dat", "", "tip\n" + atCap, longLine);
    }
    void read_refusesNamingFileAndReason() {
        QFETCH(QString, name);
        QFETCH(QString, setup);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = dir->filePath(name);
        if (setup == "folder") {
            QVERIFY(QDir(dir->path()).mkdir(name));
        } else if (setup == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (setup == "huge") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(100 * 1000 * 1000));  // sparse
        } else if (setup != "none") {
            QVERIFY(putFile(path, bytes));
        }
        // Root reads every file: the unreadable one is read by another user.
        const bool other = setup == "unreadable" && ::geteuid() == 0;
        QVERIFY(setup != "unreadable" || QFile::setPermissions(path, QFileDevice::WriteOwner));
        QVERIFY(!other || ::chmod(QFile::encodeName(dir->path()), 0701) == 0);
        const QString error = runAs(other ? Other : 0, [&] {
            QStringList lines;
            return name == "tod.dat"      ? TextFileIo::readDataFile(path, lines)
                   : name == "recent.dat" ? RecentList::read(path).error
                                          : readLinkFile(path).error;
        });
        QCOMPARE(error, reason.isEmpty() ? QString() : TextFileIo::readError(path, reason));
    }

    // Saves on a disk that fills up, over devices, and by users who may not hand a file over
    // or write its folder: done with the owner, group and mode kept, or refused with the old
    // bytes kept. Root only (a small tmpfs, other users); the saver is a child process.
    void save_keepsOwnerModeAndOldBytes_data() {
        QTest::addColumn<QString>("kind");  // url, ram or recent
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("fileMode");  // -1: a link to a device, -2: none
        QTest::addColumn<int>("saver");     // user id, in the file's group
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<QString>("reason");  // empty: saved
        const QString full = QStringLiteral("no space left on device");
        QTest::newRow("full disk, shortcut") << "url" << 0777 << 0640 << 0 << true << full;
        QTest::newRow("full disk, no cut line") << "recent" << 0777 << 0640 << 0 << true << full;
        QTest::newRow("full disk, in place") << "ram" << 0755 << 0666 << Other << true << full;
        QTest::newRow("link to a device")
            << "url" << 0777 << -1 << 0 << false << "it is not a regular file";
        QTest::newRow("root saves another's") << "ram" << 0777 << 02640 << 0 << false << "";
        QTest::newRow("group member saves") << "url" << 0777 << 0660 << Other << false << "";
        QTest::newRow("read-only folder") << "ram" << 0755 << 0666 << Other << false << "";
        QTest::newRow("sticky folder") << "url" << 01777 << 0666 << Other << false << "";
        QTest::newRow("read-only file")
            << "url" << 0777 << 0644 << Other << false << "it is read-only";
        QTest::newRow("new file, read-only folder")
            << "ram" << 0755 << -2 << Other << false << "the folder \"%1\" is read-only";
        QTest::newRow("unreadable shortcut kept")
            << "url" << 0777 << 0220 << Other << false
            << "its other entries could not be read (permission denied)";
    }
    void save_keepsOwnerModeAndOldBytes() {
        QFETCH(QString, kind);
        QFETCH(int, folderMode);
        QFETCH(int, fileMode);
        QFETCH(int, saver);
        QFETCH(bool, fullDisk);
        QFETCH(QString, reason);
        const QString folder = dir->filePath(QStringLiteral("disk"));
        QVERIFY(QDir().mkdir(folder) && ::chmod(QFile::encodeName(dir->path()), 0755) == 0);
        const TinyDisk disk(folder, "64k");
        if (!disk.error().isEmpty()) {
            QSKIP(qPrintable(disk.error()));
        }
        const QString path = folder + QStringLiteral("/f.") + kind;
        const QByteArray native = QFile::encodeName(path);
        // A shortcut with more than its address; a recent list whose next line needs a page.
        const QByteArray old = kind == "recent"
                                   ? "/" + QByteArray(4087, 'a') + "\r\n"
                                   : "[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=3\r\n";
        if (fileMode > 0) {
            QVERIFY(putFile(path, old));
            QCOMPARE(::chown(native, Other + 1, Other + 1), 0);
            QCOMPARE(::chmod(native, mode_t(fileMode)), 0);
        } else if (fileMode == -1) {
            QCOMPARE(::mknod(native + ".dev", S_IFCHR | 0666, makedev(1, 3)), 0);
            QCOMPARE(::symlink(native + ".dev", native), 0);
        }
        QVERIFY(::chmod(QFile::encodeName(folder), mode_t(folderMode)) == 0);
        QVERIFY(!fullDisk || disk.fill());
        struct stat before {};
        QCOMPARE(::stat(native, &before), fileMode > -2 ? 0 : -1);

        const QString address = QStringLiteral("http://new/") + QString(5000, 'n');
        const QString error = runAs(saver, [&] {
            return kind == "url"   ? writeInternetShortcut(path, address, true)
                   : kind == "ram" ? writeRealMedia(path, {address})
                                   : RecentList::append(path, address);
        });
        QCOMPARE(error, reason.isEmpty()
                            ? reason
                            : TextFileIo::saveError(
                                  path, reason.contains("%1") ? reason.arg(folder) : reason));
        struct stat after {};
        QCOMPARE(::stat(native, &after), fileMode > -2 ? 0 : -1);
        if (fileMode < 0) {
            QCOMPARE(after.st_rdev, before.st_rdev);
            return;
        }
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        QCOMPARE(fileBytes(path), !reason.isEmpty() ? old
                                  : kind == "ram"   ? realMediaBytes({address})
                                                    : internetShortcutBytes(address, old));
    }

    // A save killed at any moment (SIGKILL: no chance to tidy up) leaves the old file or the
    // new one whole, never a mix or a stub, and nothing beside it that is not whole. A child
    // saves two versions by turns; each round kills it at a random moment.
    void killedSave_leavesOldOrNewFileWhole() {
        const QString path = dir->filePath(QStringLiteral("link.ram"));
        // About 2 MB each, so that a kill often lands in the middle of a write.
        QStringList lists[2];
        for (int i = 0; i < 40000; ++i) {
            for (int v : {0, 1}) {
                lists[v] << QStringLiteral("http://stream.example/v%1/clip%2.rm").arg(v).arg(i);
            }
        }
        const QByteArray versions[2] = {realMediaBytes(lists[0]), realMediaBytes(lists[1])};
        QCOMPARE(writeRealMedia(path, lists[0]), QString());
        QRandomGenerator random(20261206);
        int seen[2] = {0, 0};
        QElapsedTimer budget;
        budget.start();
        for (int round = 0; round < 40 && budget.elapsed() < 20000; ++round) {
            int done[2];
            QCOMPARE(::pipe(done), 0);
            const pid_t saver = ::fork();
            if (saver == 0) {  // says each finished save with one byte
                for (int i = 1; writeRealMedia(path, lists[i % 2]).isEmpty(); ++i) {
                    [[maybe_unused]] const ssize_t n = ::write(done[1], "s", 1);
                }
                ::_exit(1);
            }
            ::close(done[1]);
            // After one to three finished saves, the kill lands somewhere in the next.
            char byte;
            QElapsedTimer oneSave;
            QCOMPARE(::read(done[0], &byte, 1), 1);
            oneSave.start();
            const int more = 1 + int(random.bounded(3));
            for (int i = 0; i < more; ++i) {
                QCOMPARE(::read(done[0], &byte, 1), 1);
            }
            QThread::usleep(
                ulong(random.bounded(qMax<qint64>(1, oneSave.nsecsElapsed() / 1000 / more))));
            QCOMPARE(::kill(saver, SIGKILL), 0);
            QCOMPARE(::waitpid(saver, nullptr, 0), saver);
            ::close(done[0]);
            // A kill between naming the finished new file and the rename leaves it beside.
            for (const QString& name : QDir(dir->path()).entryList(QDir::Files | QDir::Hidden)) {
                const QByteArray bytes = fileBytes(dir->filePath(name));
                QVERIFY2(bytes == versions[0] || bytes == versions[1],
                         qPrintable(QStringLiteral("round %1: %2 holds %3 bytes, neither version")
                                        .arg(round)
                                        .arg(name)
                                        .arg(bytes.size())));
                QVERIFY(name == "link.ram" || QFile::remove(dir->filePath(name)));
            }
            ++seen[fileBytes(path) == versions[1] ? 1 : 0];
        }
        // Kills landed at different points: both versions were left at least once.
        QVERIFY2(seen[0] > 0 && seen[1] > 0,
                 qPrintable(QStringLiteral("old %1, new %2").arg(seen[0]).arg(seen[1])));
    }

    void recentAppend_addsPathOnItsOwnLine_data() {
        QTest::addColumn<QByteArray>("before");  // empty: no file yet
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* tag, QByteArray before, QString path, QByteArray after,
                            QString reason = QString()) {
            QTest::newRow(tag) << before << path << after << reason;
        };
        row("first save creates the file, path as UTF-8", "", QString::fromUtf8("/bü.url"),
            "/b\xC3\xBC.url\r\n");
        row("same path again", "/a.url\r\n", "/a.url", "/a.url\r\n/a.url\r\n");
        row("last line without end", "/a.url", "/b.ram", "/a.url\r\n/b.ram\r\n");
        row("last line ending CR", "/a.url\r", "/b.ram", "/a.url\r/b.ram\r\n");
        row("empty path adds nothing", "/a.url", "", "/a.url");
        row("path with a line break refused", "/a.url\r\n", "/a\nb.url", "/a.url\r\n",
            "the path \"/a\nb.url\" holds a line break");
    }
    void recentAppend_addsPathOnItsOwnLine() {
        QFETCH(QByteArray, before);
        QFETCH(QString, path);
        QFETCH(QByteArray, after);
        QFETCH(QString, reason);
        const QString recent = dir->filePath(QStringLiteral("recent.dat"));
        QVERIFY(before.isEmpty() || putFile(recent, before));
        QCOMPARE(RecentList::append(recent, path),
                 reason.isEmpty() ? QString() : TextFileIo::saveError(recent, reason));
        QCOMPARE(fileBytes(recent), after);
    }

    // Browse must never hand the desktop an address that starts a program on this computer,
    // however the address names it and whatever the program's file is called.
    void localProgramPath_data() {
        QTest::addColumn<QString>("address");  // %1: a folder holding the files below
        QTest::addColumn<bool>("refused");
        QTest::newRow("executable mode") << "file://%1/tool" << true;
        QTest::newRow("host localhost") << "file://localhost%1/tool" << true;
        QTest::newRow("this machine's name")
            << "FILE://" + QSysInfo::machineHostName() + "%1/tool" << true;
        QTest::newRow("encoded name in a file address") << "file://%1/t%6Fol" << true;
        QTest::newRow("launcher by content, no suffix") << "file:%1/launcher" << true;
        QTest::newRow("launcher by suffix") << "%1/app.desktop" << true;
        QTest::newRow("script by #!") << "%1/script" << true;
        QTest::newRow("ELF without execute mode") << "%1/elf" << true;
        QTest::newRow("text file") << "file://localhost%1/notes.txt" << false;
        QTest::newRow("launcher group not first") << "%1/other" << false;
        QTest::newRow("named pipe is not read") << "%1/pipe" << false;
        QTest::newRow("folder") << "file://%1" << false;
        QTest::newRow("web address") << "http://localhost%1/tool" << false;
    }
    void localProgramPath() {
        QFETCH(QString, address);
        QFETCH(bool, refused);
        const QList<std::pair<const char*, QByteArray>> files = {
            {"tool", "plain text"},
            {"launcher", "\xEF\xBB\xBF# made by hand\n\n[Desktop Entry]\nExec=/usr/bin/env\n"},
            {"app.desktop", ""},
            {"script", "#!/bin/sh\n"},
            {"elf", "\x7F\x45LF\x02\x01\x01"},
            {"notes.txt", "hello\n"},
            {"other", "[Other]\n[Desktop Entry]\n"}};
        for (const auto& [name, bytes] : files) {
            QVERIFY(putFile(dir->filePath(name), bytes));
        }
        QVERIFY(QFile::setPermissions(dir->filePath("tool"), QFile::ReadOwner | QFile::ExeOther));
        QCOMPARE(::mkfifo(qPrintable(dir->filePath("pipe")), 0600), 0);
        const QString path = ::localProgramPath(address.arg(dir->path()));
        QCOMPARE(!path.isEmpty(), refused);
        QVERIFY(path.isEmpty() || QFileInfo(path).canonicalFilePath().startsWith(dir->path()));
    }
};

int main(int argc, char* argv[]) {
    TinyDisk::enterPrivateMounts();  // before Qt starts any thread
    QCoreApplication app(argc, argv);
    tst_links test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_links.moc"
