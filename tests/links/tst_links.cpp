#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
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
#include "RecentList.h"
#include "TextFileIo.h"
#include "TinyDisk.h"

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
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

}  // namespace

class tst_links : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    static constexpr int Other = 4242;  // a saver who is not root; the file's owner is one more

    // Runs `save` as `uid` (in the group Other + 1) in a child process; root saves itself.
    static QString saveAs(int uid, const std::function<QString()>& save) {
        if (uid == 0) {
            return save();
        }
        int channel[2];
        if (::pipe(channel) != 0) {
            return QStringLiteral("no pipe");
        }
        const pid_t child = ::fork();
        if (child == 0) {
            const gid_t group = Other + 1;
            const QByteArray said = ::setgroups(1, &group) == 0 && ::setgid(gid_t(uid)) == 0 &&
                                            ::setuid(uid_t(uid)) == 0
                                        ? save().toUtf8()
                                        : QByteArray("could not become the saver");
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

    QString recentFile() const { return dir->filePath(QStringLiteral("recent.dat")); }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void recognizedMenuIndex_firstMatchingPrefixWins_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("menuIndex");  // -1: not recognised

        QTest::newRow("web") << "http://example.com/" << 7;
        QTest::newRow("https is not web") << "https://example.com" << 8;
        QTest::newRow("ftp") << "ftp://example.com/pub/x" << 3;
        QTest::newRow("telnet without slashes") << "telnet:host" << 6;
        QTest::newRow("gopther") << "gopther://host" << 4;
        QTest::newRow("gopher spelled right") << "gopher://host" << -1;
        QTest::newRow("capital FTP") << "FTP://host" << -1;
        QTest::newRow("ftp with one slash") << "ftp:/host" << -1;
    }

    void recognizedMenuIndex_firstMatchingPrefixWins() {
        QFETCH(QString, address);
        QFETCH(int, menuIndex);
        QCOMPARE(recognizedMenuIndex(address).value_or(-1), menuIndex);
    }

    void lines_endAtCrLfCrOrLf_inBytesAndChunkedFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("mixed ends, blanks kept, LF in a long line")
            << QByteArray(" A\r\n\tB\rhttp://example.org/a\nhttp://b ")
            << QStringList{" A", "\tB", "http://example.org/a", "http://b "};
        QTest::newRow("LF CR is two ends") << QByteArray("A\n\rB") << QStringList{"A", "", "B"};
        QTest::newRow("only the leading mark skipped")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF/a")
            << QStringList{QChar(0xFEFF) + QStringLiteral("/a")};
        QTest::newRow("each line decoded alone")
            << QByteArray("caf\xE9\r\ncaf\xC3\xA9")
            << QStringList{QString::fromUtf8("café"), QString::fromUtf8("café")};
        QTest::newRow("cut sequence is Latin-1")
            << QByteArray("x\xE2\x82") << QStringList{QString::fromLatin1("x\xE2\x82")};
    }

    void lines_endAtCrLfCrOrLf_inBytesAndChunkedFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(parseLines(bytes), lines);
        putFile(recentFile(), bytes);
        const ReadResult<QStringList> recent = RecentList::read(recentFile());
        QCOMPARE(recent.error, QString());
        QCOMPARE(recent.value, lines);
    }

    void parseInternetShortcut_readsUrlOfShortcutSection_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("address");  // "!" + reason when it is an error

        QTest::newRow("names in any case, blanks around them")
            << QByteArray("  [ internetSHORTCUT ]  \r\n\turl \t=http://a/\r\n") << "http://a/";
        QTest::newRow("value kept as it stands")
            << QByteArray("[InternetShortcut]\r\nURL= http://a/?b=1,c\\d  \r\n")
            << " http://a/?b=1,c\\d  ";
        QTest::newRow("first URL wins")
            << QByteArray("[InternetShortcut]\r\nURL=http://first/\r\nURL=http://second/\r\n")
            << "http://first/";
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
        QTest::newRow("binary") << QByteArray("\x00\x01\x02[\x00]\xFF\xFE", 9)
                                << "!it has no URL entry";
    }

    void parseInternetShortcut_readsUrlOfShortcutSection() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, address);
        const ReadResult<QString> result = parseInternetShortcut(bytes);
        QCOMPARE(result.error, address.startsWith(QLatin1Char('!')) ? address.mid(1) : QString());
        if (result.ok()) {
            QCOMPARE(result.value, address);
        }
    }

    void internetShortcutBytes_overExisting_replacesOnlyUrl_data() {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("expected");

        const QString address = QStringLiteral("http://new/");
        QTest::newRow("URL key added after the header, LF ends kept")
            << QByteArray("[InternetShortcut]\nIconIndex=1\n") << address
            << QByteArray("[InternetShortcut]\nURL=http://new/\nIconIndex=1\n");
        QTest::newRow("section added after an unended line")
            << QByteArray("[DEFAULT]\r\nBASEURL=x") << address
            << QByteArray("[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\nURL=http://new/\r\n");
        QTest::newRow("Latin-1 bytes and UTF-8 mark kept")
            << QByteArray("\xEF\xBB\xBF; caf\xE9\r\n[InternetShortcut]\r\nURL=x\r\n")
            << QString::fromUtf8("http://bü/")
            << QByteArray(
                   "\xEF\xBB\xBF; caf\xE9\r\n[InternetShortcut]\r\nURL=http://b\xC3\xBC/\r\n");
        QTest::newRow("NUL bytes kept with every other key")
            << raw("[A]\r\nk=\0\r\n[InternetShortcut]\r\nURL=x\r\nIconIndex=1\r\n") << address
            << raw("[A]\r\nk=\0\r\n[InternetShortcut]\r\nURL=http://new/\r\nIconIndex=1\r\n");
        QTest::newRow("UTF-16 odd last byte kept")
            << "\xFF\xFE" + utf16(u"[I]\n") + '\x01' << address
            << "\xFF\xFE" + utf16(u"[I]\n[InternetShortcut]\nURL=http://new/\n") + '\x01';
    }

    void internetShortcutBytes_overExisting_replacesOnlyUrl() {
        QFETCH(QByteArray, existing);
        QFETCH(QString, address);
        QFETCH(QByteArray, expected);
        const QByteArray bytes = internetShortcutBytes(address, existing);
        QCOMPARE(bytes, expected);
        QCOMPARE(parseInternetShortcut(bytes).value, address);
    }

    void writeThenRead_givesBackWhatWasWritten_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("keepOtherKeys");
        QTest::addColumn<QByteArray>("old");  // empty: no file yet
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QByteArray>("onDisk");

        QTest::newRow("shortcut saved as over a full one")
            << "a.url" << false << fileBytes(sample(QStringLiteral("explorer.url")))
            << QStringList{"ftp://host/pub/"}
            << QByteArray("[InternetShortcut]\r\nURL=ftp://host/pub/\r\n");
        QTest::newRow("new shortcut keeping keys, trailing blank")
            << "b.URL" << true << QByteArray() << QStringList{QString::fromUtf8("http://bü/ ")}
            << QByteArray("[InternetShortcut]\r\nURL=http://b\xC3\xBC/ \r\n");
        QTest::newRow("empty shortcut address")
            << "e.url" << false << QByteArray() << QStringList{""}
            << QByteArray("[InternetShortcut]\r\nURL=\r\n");
        QTest::newRow("play list over a longer file")
            << "p.RAM" << false << QByteArray(100, 'x') << QStringList{"A", "", "B"}
            << QByteArray("A\r\n\r\nB\r\n");
        QTest::newRow("one empty RealMedia link")
            << "e.ram" << false << QByteArray() << QStringList{""} << QByteArray("\r\n");
    }

    void writeThenRead_givesBackWhatWasWritten() {
        QFETCH(QString, name);
        QFETCH(bool, keepOtherKeys);
        QFETCH(QByteArray, old);
        QFETCH(QStringList, addresses);
        QFETCH(QByteArray, onDisk);
        const QString path = dir->filePath(name);
        if (!old.isEmpty()) {
            putFile(path, old);
        }
        const QString error = linkFileType(path) == LinkFileType::RealMedia
                                  ? writeRealMedia(path, addresses)
                                  : writeInternetShortcut(path, addresses.value(0), keepOtherKeys);
        QCOMPARE(error, QString());
        QCOMPARE(fileBytes(path), onDisk);
        const ReadResult<LinkFileContent> read = readLinkFile(path);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.value.addresses, addresses);
    }

    void sampleShortcuts_readAndWriteBackUnchanged_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("addresses");

        QTest::newRow("Explorer shortcut")
            << "explorer.url" << QStringList{"https://www.example.org/news/?a=1,b=2"};
        QTest::newRow("browser shortcut with BASEURL")
            << "browser.url" << QStringList{"ftp://ftp.example.org/pub/readme.txt"};
        QTest::newRow("UTF-16 shortcut")
            << "unicode.url" << QStringList{QString::fromUtf8("http://bücher.example/été")};
        QTest::newRow("shortcut with LF ends")
            << "linux.url" << QStringList{"gopther://gopher.example.org/1/"};
    }

    void sampleShortcuts_readAndWriteBackUnchanged() {
        QFETCH(QString, name);
        QFETCH(QStringList, addresses);
        const ReadResult<LinkFileContent> read = readLinkFile(sample(name));
        QCOMPARE(read.error, QString());
        QCOMPARE(read.value.addresses, addresses);
        // Saved with another address and then the first again, it is byte for byte as it was.
        const QString copy = dir->filePath(name);
        QVERIFY(QFile::copy(sample(name), copy));
        QCOMPARE(writeInternetShortcut(copy, QStringLiteral("http://other/"), true), QString());
        QCOMPARE(readInternetShortcut(copy).value, QStringLiteral("http://other/"));
        QCOMPARE(writeInternetShortcut(copy, addresses.first(), true), QString());
        QCOMPARE(fileBytes(copy), fileBytes(sample(name)));
    }

    void badFile_read_namesFileAndReason_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "gone/a.url"
                                 << ""
                                 << "it does not exist";
        QTest::newRow("folder") << "d.ram"
                                << "folder"
                                << "it is a folder";
        QTest::newRow("unreadable") << "u.url"
                                    << "unreadable"
                                    << "permission denied";
        QTest::newRow("pipe") << "p.url"
                              << "fifo"
                              << "it is not a regular file";
        QTest::newRow("100 MB file") << "big.ram"
                                     << "huge"
                                     << "it is larger than 64 MiB";
        QTest::newRow("NUL bytes in RealMedia link") << "b.ram"
                                                     << "nul"
                                                     << "it holds binary data, not lines of text";
        QTest::newRow("shortcut without URL") << "n.url"
                                              << "nourl"
                                              << "it has no URL entry";
        QTest::newRow("not a link file") << "a.url.txt"
                                         << "nourl"
                                         << "it is not a link file (*.url or *.ram)";
    }

    void badFile_read_namesFileAndReason() {
        QFETCH(QString, name);
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        const QString path = dir->filePath(name);
        QFile file(path);
        if (setup == QLatin1String("folder")) {
            QVERIFY(QDir(dir->path()).mkdir(name));
        } else if (setup == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (setup == QLatin1String("huge")) {
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(100 * 1000 * 1000));  // sparse
        } else if (setup == QLatin1String("nul")) {
            putFile(path, raw("http://a/\r\n\0\1\r\n"));
        } else if (setup == QLatin1String("nourl")) {
            putFile(path, "[InternetShortcut]\r\nIconIndex=1\r\n");
        } else if (setup == QLatin1String("unreadable")) {
            putFile(path, "[InternetShortcut]\r\nURL=x\r\n");
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        }
        // Root reads every file: the unreadable one is read by another user.
        const bool other = setup == QLatin1String("unreadable") && ::geteuid() == 0;
        QVERIFY(!other || QFile::setPermissions(dir->path(),
                                                QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner | QFileDevice::ExeOther));
        const QString error = saveAs(other ? Other : 0, [&] {
            const ReadResult<LinkFileContent> read = readLinkFile(path);
            return read.value.addresses.isEmpty() ? read.error : QStringLiteral("addresses read");
        });
        QCOMPARE(error, QStringLiteral("The file \"%1\" could not be read: %2.").arg(path, reason));
    }

    // Saves on a disk that fills up, over devices, and by users who may not hand a file over
    // or write its folder: done with the owner, group and mode kept, or refused with the old
    // bytes kept. Root only (a small tmpfs, other users); the saver is a child process.
    void save_keepsOwnerModeAndOldBytes_data() {
        QTest::addColumn<QString>("kind");  // url, ram or recent
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("fileMode");  // 0: a device, -1: a link to a device, -2: none
        QTest::addColumn<int>("saver");     // user id, in the file's group
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<QString>("reason");  // empty: saved
        const QString full = QStringLiteral("no space left on device");
        const QString notRegular = QStringLiteral("it is not a regular file");
        QTest::newRow("full disk, shortcut") << "url" << 0777 << 0640 << 0 << true << full;
        QTest::newRow("full disk, no cut line") << "recent" << 0777 << 0640 << 0 << true << full;
        QTest::newRow("full disk, in place") << "ram" << 0755 << 0666 << Other << true << full;
        QTest::newRow("link to a device") << "url" << 0777 << -1 << 0 << false << notRegular;
        QTest::newRow("device") << "ram" << 0777 << 0 << 0 << false << notRegular;
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
        const QByteArray old = kind == QLatin1String("recent")
                                   ? "/" + QByteArray(4087, 'a') + "\r\n"
                                   : "[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=3\r\n";
        if (fileMode > 0) {
            putFile(path, old);
            QCOMPARE(::chown(native, Other + 1, Other + 1), 0);
            QCOMPARE(::chmod(native, mode_t(fileMode)), 0);
        } else if (fileMode > -2) {
            const QByteArray device = fileMode < 0 ? native + ".dev" : native;
            QCOMPARE(::mknod(device, S_IFCHR | 0666, makedev(1, 3)), 0);
            QVERIFY(fileMode == 0 || ::symlink(device, native) == 0);
        }
        QVERIFY(::chmod(QFile::encodeName(folder), mode_t(folderMode)) == 0);
        QVERIFY(!fullDisk || disk.fill());
        struct stat before;
        QCOMPARE(::stat(native, &before), fileMode > -2 ? 0 : -1);

        const QString address = QStringLiteral("http://new/") + QString(5000, 'n');
        QString error = saveAs(saver, [&] {
            return kind == QLatin1String("url")   ? writeInternetShortcut(path, address, true)
                   : kind == QLatin1String("ram") ? writeRealMedia(path, {address})
                                                  : RecentList::append(path, address);
        });
        QCOMPARE(error, reason.isEmpty()
                            ? reason
                            : TextFileIo::saveError(path, reason.contains(QLatin1String("%1"))
                                                              ? reason.arg(folder)
                                                              : reason));
        struct stat after;
        QCOMPARE(::stat(native, &after), fileMode > -2 ? 0 : -1);
        if (fileMode == -2) {
            return;
        }
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        if (fileMode <= 0) {
            return;
        }
        if (!reason.isEmpty()) {
            QCOMPARE(fileBytes(path), old);
        } else if (kind == QLatin1String("ram")) {
            QCOMPARE(fileBytes(path), realMediaBytes({address}));
        } else {
            QCOMPARE(fileBytes(path), internetShortcutBytes(address, old));
        }
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
            const qint64 saveUs = qMax<qint64>(1, oneSave.nsecsElapsed() / 1000 / more);
            QThread::usleep(ulong(random.bounded(saveUs)));
            QCOMPARE(::kill(saver, SIGKILL), 0);
            int status = 0;
            QCOMPARE(::waitpid(saver, &status, 0), saver);
            ::close(done[0]);
            QVERIFY(WIFSIGNALED(status));
            const QStringList names = QDir(dir->path())
                                          .entryList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot);
            // A kill between naming the finished new file and the rename leaves it beside.
            for (const QString& name : names) {
                const QByteArray bytes = fileBytes(dir->filePath(name));
                QVERIFY2(bytes == versions[0] || bytes == versions[1],
                         qPrintable(QStringLiteral("round %1: %2 holds %3 bytes, neither version")
                                        .arg(round)
                                        .arg(name)
                                        .arg(bytes.size())));
                if (name != QLatin1String("link.ram")) {
                    QVERIFY(QFile::remove(dir->filePath(name)));
                }
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
        auto row = [](const char* tag, QByteArray before, QString path, QByteArray after,
                      QString reason = QString()) {
            QTest::newRow(tag) << before << path << after << reason;
        };

        row("first save creates the file", "", "/home/u/a.url", "/home/u/a.url\r\n");
        row("same path again", "/a.url\r\n", "/a.url", "/a.url\r\n/a.url\r\n");
        row("last line without end", "/a.url", "/b.ram", "/a.url\r\n/b.ram\r\n");
        row("last line ending LF", "/a.url\n", "/b.ram", "/a.url\n/b.ram\r\n");
        row("last line ending CR", "/a.url\r", "/b.ram", "/a.url\r/b.ram\r\n");
        row("path as UTF-8", "", QString::fromUtf8("/bü.url"), "/b\xC3\xBC.url\r\n");
        row("empty path adds nothing", "/a.url", "", "/a.url");
        row("path with a line break refused", "/a.url\r\n", "/a\nb.url", "/a.url\r\n",
            "the path \"/a\nb.url\" holds a line break");
    }

    void recentAppend_addsPathOnItsOwnLine() {
        QFETCH(QByteArray, before);
        QFETCH(QString, path);
        QFETCH(QByteArray, after);
        QFETCH(QString, reason);
        if (before.isEmpty()) {
            QCOMPARE(RecentList::read(recentFile()).error, QString());  // missing is no error
        } else {
            putFile(recentFile(), before);
        }
        QCOMPARE(RecentList::append(recentFile(), path),
                 reason.isEmpty() ? QString()
                                  : QStringLiteral("The file \"%1\" could not be saved: %2.")
                                        .arg(recentFile(), reason));
        QCOMPARE(fileBytes(recentFile()), after);
    }
};

int main(int argc, char* argv[]) {
    TinyDisk::enterPrivateMounts();  // before Qt starts any thread
    QCoreApplication app(argc, argv);
    tst_links test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_links.moc"
