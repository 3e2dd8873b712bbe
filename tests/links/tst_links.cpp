#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "LinkFiles.h"
#include "LinkKinds.h"
#include "RecentList.h"
#include "TextFileIo.h"

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

QString sample(const QString& name) {
    return QFINDTESTDATA(QStringLiteral("fixtures/") + name);
}

}  // namespace

class tst_links : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
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
        QTest::newRow("binary is replaced")
            << QByteArray("[InternetShortcut]\r\n\x00URL=x\r\n", 27) << address
            << QByteArray("[InternetShortcut]\r\nURL=http://new/\r\n");
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

    void badFile_readAndSave_nameFileAndReason_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("readReason");
        QTest::addColumn<QString>("saveReason");  // empty: not saved; %1: the temporary folder
        auto row = [](const char* tag, QString name, QString setup, QString read,
                      QString save = QString()) {
            QTest::newRow(tag) << name << setup << read << save;
        };

        row("missing in a missing folder", "gone/a.url", "none", "it does not exist",
            "the folder \"%1/gone\" does not exist");
        row("folder", "d.ram", "folder", "it is a folder", "it is a folder");
        row("unreadable shortcut kept", "u.url", "unreadable", "permission denied",
            "its other entries could not be read (permission denied)");
        row("pipe", "p.url", "fifo", "it is not a regular file");
        row("100 MB file", "big.ram", "huge", "it is larger than 64 MiB");
        row("NUL bytes in RealMedia link", "b.ram", "nul",
            "it holds binary data, not lines of text");
        row("shortcut without URL", "n.url", "nourl", "it has no URL entry");
        row("not a link file", "a.url.txt", "nourl", "it is not a link file (*.url or *.ram)");
    }

    void badFile_readAndSave_nameFileAndReason() {
        QFETCH(QString, name);
        QFETCH(QString, setup);
        QFETCH(QString, readReason);
        QFETCH(QString, saveReason);
        const QString path = dir->filePath(name);
        const QByteArray old("[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=1\r\n");
        if (setup == QLatin1String("folder")) {
            QVERIFY(QDir(dir->path()).mkdir(name));
        } else if (setup == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (setup == QLatin1String("huge")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(100 * 1000 * 1000));  // sparse: costs no disk
        } else if (setup == QLatin1String("nul")) {
            putFile(path, QByteArray("http://a/\r\n\x00\x01\r\n", 13));
        } else if (setup == QLatin1String("nourl")) {
            putFile(path, "[InternetShortcut]\r\nIconIndex=1\r\n");
        } else if (setup == QLatin1String("unreadable")) {
            if (::geteuid() == 0) {
                QSKIP("root reads every file");
            }
            putFile(path, old);
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        }
        const ReadResult<LinkFileContent> read = readLinkFile(path);
        QCOMPARE(read.error,
                 QStringLiteral("The file \"%1\" could not be read: %2.").arg(path, readReason));
        QVERIFY(read.value.addresses.isEmpty());
        if (saveReason.isEmpty()) {
            return;
        }
        const QString error =
            linkFileType(path) == LinkFileType::RealMedia
                ? writeRealMedia(path, {QStringLiteral("http://new/")})
                : writeInternetShortcut(path, QStringLiteral("http://new/"), true);
        QCOMPARE(error, QStringLiteral("The file \"%1\" could not be saved: %2.")
                            .arg(path, saveReason.replace(QStringLiteral("%1"), dir->path())));
        if (setup == QLatin1String("unreadable")) {
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
            QCOMPARE(fileBytes(path), old);
        }
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

QTEST_GUILESS_MAIN(tst_links)
#include "tst_links.moc"
