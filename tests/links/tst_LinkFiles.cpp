#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "LinkFiles.h"

namespace {

QByteArray utf16le(const QString& text) {
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return QByteArray("\xFF\xFE") + QByteArray(encoder(text));
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

bool runningAsRoot() {
    return ::geteuid() == 0;
}

const QByteArray browserShortcut =
    "[DEFAULT]\r\n"
    "BASEURL=http://base.example/\r\n"
    "[InternetShortcut]\r\n"
    "URL=http://old.example/\r\n"
    "IDList=\r\n"
    "IconFile=C:\\icons\\a.ico\r\n"
    "IconIndex=1\r\n"
    "HotKey=1601\r\n"
    "[{000214A0-0000-0000-C000-000000000046}]\r\n"
    "Prop3=19,2\r\n";

}  // namespace

class tst_LinkFiles : public QObject {
    Q_OBJECT

private slots:
    void init();

    void parseLines_endsLinesAtCrLfCrOrLf_data();
    void parseLines_endsLinesAtCrLfCrOrLf();
    void parseInternetShortcut_readsUrlOfShortcutSection_data();
    void parseInternetShortcut_readsUrlOfShortcutSection();
    void internetShortcutBytes_overExisting_replacesOnlyUrl_data();
    void internetShortcutBytes_overExisting_replacesOnlyUrl();
    void linkFileType_matchesExtensionWithoutCase_data();
    void linkFileType_matchesExtensionWithoutCase();

    void writeThenRead_givesBackWhatWasWritten_data();
    void writeThenRead_givesBackWhatWasWritten();
    void writeInternetShortcut_keepOtherKeysChoosesPreservingOrPlain_data();
    void writeInternetShortcut_keepOtherKeysChoosesPreservingOrPlain();
    void sampleFiles_readAndWriteBackUnchanged_data();
    void sampleFiles_readAndWriteBackUnchanged();
    void readLinkFile_badInput_namesFileAndReason_data();
    void readLinkFile_badInput_namesFileAndReason();
    void writers_failure_namesFileAndReasonAndKeepsOldFile_data();
    void writers_failure_namesFileAndReasonAndKeepsOldFile();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void tst_LinkFiles::init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void tst_LinkFiles::parseLines_endsLinesAtCrLfCrOrLf_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("one line without end") << QByteArray("A") << QStringList{"A"};
    QTest::newRow("one line") << QByteArray("A\r\n") << QStringList{"A"};
    QTest::newRow("line and empty line") << QByteArray("A\r\n\r\n") << QStringList{"A", ""};
    QTest::newRow("LF alone ends a line") << QByteArray("A\nB\n") << QStringList{"A", "B"};
    QTest::newRow("CR alone ends a line") << QByteArray("A\rB") << QStringList{"A", "B"};
    QTest::newRow("LF CR is two ends") << QByteArray("A\n\rB") << QStringList{"A", "", "B"};
    QTest::newRow("mixed ends") << QByteArray("A\r\nB\nC\rD") << QStringList{"A", "B", "C", "D"};
    QTest::newRow("blanks kept") << QByteArray(" A \r\n\t\r\n") << QStringList{" A ", "\t"};
    QTest::newRow("UTF-8 mark skipped") << QByteArray(
                                               "\xEF\xBB\xBF"
                                               "A\r\n")
                                        << QStringList{"A"};
    QTest::newRow("each line decoded alone")
        << QByteArray("caf\xE9\r\ncaf\xC3\xA9\r\n")
        << QStringList{QString::fromUtf8("café"), QString::fromUtf8("café")};
    QTest::newRow("overlong form is Latin-1")
        << QByteArray("\xC0\xAF") << QStringList{QString::fromLatin1("\xC0\xAF")};
    QTest::newRow("cut sequence is Latin-1")
        << QByteArray("x\xE2\x82") << QStringList{QString::fromLatin1("x\xE2\x82")};
    QTest::newRow("mark inside the file kept")
        << QByteArray(
               "\xEF\xBB\xBF\xEF\xBB\xBF"
               "A\r\n\xEF\xBB\xBF"
               "B")
        << QStringList{QChar(0xFEFF) + QStringLiteral("A"), QChar(0xFEFF) + QStringLiteral("B")};
    QTest::newRow("marks after an empty line kept")
        << QByteArray("\r\xEF\xBB\xBF\xEF\xBB\xBF") << QStringList{"", QString(2, QChar(0xFEFF))};
    QTest::newRow("four-byte UTF-8")
        << QByteArray("\xF0\x9F\x8E\xB5") << QStringList{QString::fromUtf8("\xF0\x9F\x8E\xB5")};
}

void tst_LinkFiles::parseLines_endsLinesAtCrLfCrOrLf() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(parseLines(bytes), lines);
}

void tst_LinkFiles::parseInternetShortcut_readsUrlOfShortcutSection_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("address");  // "!" + reason when it is an error

    QTest::newRow("CR line ends") << QByteArray("[InternetShortcut]\rURL=http://a/\r")
                                  << "http://a/";
    QTest::newRow("no final line end")
        << QByteArray("[InternetShortcut]\r\nURL=http://a/") << "http://a/";
    QTest::newRow("names in any case")
        << QByteArray("[internetSHORTCUT]\r\nurl=http://a/\r\n") << "http://a/";
    QTest::newRow("blanks around names")
        << QByteArray("  [ InternetShortcut ]  \r\n\tURL \t=http://a/\r\n") << "http://a/";
    QTest::newRow("value kept as it stands")
        << QByteArray("[InternetShortcut]\r\nURL= http://a/?b=1,c\\d  \r\n")
        << " http://a/?b=1,c\\d  ";
    QTest::newRow("first URL wins")
        << QByteArray("[InternetShortcut]\r\nURL=http://first/\r\nURL=http://second/\r\n")
        << "http://first/";
    QTest::newRow("BASEURL is not URL")
        << QByteArray("[InternetShortcut]\r\nBASEURL=http://base/\r\nURL=http://a/\r\n")
        << "http://a/";
    QTest::newRow("URL of another section ignored")
        << QByteArray("[Other]\r\nURL=http://no/\r\n[InternetShortcut]\r\nURL=http://yes/\r\n")
        << "http://yes/";
    QTest::newRow("URL after the section ignored")
        << QByteArray("[InternetShortcut]\r\nIconIndex=0\r\n[Other]\r\nURL=http://no/\r\n")
        << "!it has no URL entry";
    QTest::newRow("URL before any section ignored")
        << QByteArray("URL=http://no/\r\n") << "!it has no URL entry";
    QTest::newRow("UTF-8 mark skipped")
        << QByteArray("\xEF\xBB\xBF[InternetShortcut]\r\nURL=x\r\n") << "x";
    QTest::newRow("UTF-8 address") << QByteArray("[InternetShortcut]\r\nURL=http://b\xC3\xBC/\r\n")
                                   << QString::fromUtf8("http://bü/");
    QTest::newRow("Latin-1 address") << QByteArray("[InternetShortcut]\r\nURL=http://b\xFC/\r\n")
                                     << QString::fromUtf8("http://bü/");
    QTest::newRow("empty file") << QByteArray() << "!it has no URL entry";
    QTest::newRow("section without URL")
        << QByteArray("[InternetShortcut]\r\nIconIndex=1\r\n") << "!it has no URL entry";
    QTest::newRow("binary") << QByteArray("\x00\x01\x02[\x00]\xFF\xFE", 9)
                            << "!it has no URL entry";
}

void tst_LinkFiles::parseInternetShortcut_readsUrlOfShortcutSection() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, address);
    const ReadResult<QString> result = parseInternetShortcut(bytes);
    if (address.startsWith(QLatin1Char('!'))) {
        QCOMPARE(result.error, address.mid(1));
    } else {
        QCOMPARE(result.error, QString());
        QCOMPARE(result.value, address);
    }
}

void tst_LinkFiles::internetShortcutBytes_overExisting_replacesOnlyUrl_data() {
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("expected");

    const QString address = QStringLiteral("http://new.example/");
    QTest::newRow("own format") << QByteArray("[InternetShortcut]\r\nURL=http://old/\r\n")
                                << address
                                << QByteArray("[InternetShortcut]\r\nURL=http://new.example/\r\n");
    QTest::newRow("URL key added after header with LF ends")
        << QByteArray("[InternetShortcut]\nIconIndex=1\n") << address
        << QByteArray("[InternetShortcut]\nURL=http://new.example/\nIconIndex=1\n");
    QTest::newRow("URL key added after last header line")
        << QByteArray("[X]\r\na=1\r\n[InternetShortcut]") << address
        << QByteArray("[X]\r\na=1\r\n[InternetShortcut]\r\nURL=http://new.example/\r\n");
    QTest::newRow("section added at the end")
        << QByteArray("[DEFAULT]\nBASEURL=x\n") << address
        << QByteArray("[DEFAULT]\nBASEURL=x\n[InternetShortcut]\nURL=http://new.example/\n");
    QTest::newRow("section added after unended line")
        << QByteArray("[DEFAULT]\r\nBASEURL=x") << address
        << QByteArray(
               "[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\nURL=http://new.example/\r\n");
    QTest::newRow("unended URL line stays unended")
        << QByteArray("[InternetShortcut]\r\nURL=http://old/") << address
        << QByteArray("[InternetShortcut]\r\nURL=http://new.example/");
    QTest::newRow("Latin-1 bytes and UTF-8 mark kept")
        << QByteArray("\xEF\xBB\xBF; caf\xE9\r\n[InternetShortcut]\r\nURL=x\r\n")
        << QString::fromUtf8("http://bü/")
        << QByteArray("\xEF\xBB\xBF; caf\xE9\r\n[InternetShortcut]\r\nURL=http://b\xC3\xBC/\r\n");
    QTest::newRow("UTF-16LE stays UTF-16LE")
        << utf16le(QString::fromUtf8("[InternetShortcut]\r\nURL=x\r\nIconFile=é.ico\r\n"))
        << QString::fromUtf8("http://bü/")
        << utf16le(QString::fromUtf8("[InternetShortcut]\r\nURL=http://bü/\r\nIconFile=é.ico\r\n"));
    QTest::newRow("UTF-16LE mark inside the text kept")
        << utf16le(QChar(0xFEFF) + QStringLiteral("; x\r\n[InternetShortcut]\r\nURL=x\r\n"))
        << address
        << utf16le(QChar(0xFEFF) +
                   QStringLiteral("; x\r\n[InternetShortcut]\r\nURL=http://new.example/\r\n"));
    QTest::newRow("empty file is replaced")
        << QByteArray() << address
        << QByteArray("[InternetShortcut]\r\nURL=http://new.example/\r\n");
    QTest::newRow("text without sections is replaced")
        << QByteArray("http://old/\r\n") << address
        << QByteArray("[InternetShortcut]\r\nURL=http://new.example/\r\n");
    QTest::newRow("binary is replaced")
        << QByteArray("[InternetShortcut]\r\n\x00URL=x\r\n", 27) << address
        << QByteArray("[InternetShortcut]\r\nURL=http://new.example/\r\n");
}

void tst_LinkFiles::internetShortcutBytes_overExisting_replacesOnlyUrl() {
    QFETCH(QByteArray, existing);
    QFETCH(QString, address);
    QFETCH(QByteArray, expected);
    const QByteArray bytes = internetShortcutBytes(address, existing);
    QCOMPARE(bytes, expected);
    QCOMPARE(parseInternetShortcut(bytes).value, address);
}

void tst_LinkFiles::linkFileType_matchesExtensionWithoutCase_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<LinkFileType>("type");

    QTest::newRow(".url") << "/tmp/a.url" << LinkFileType::InternetShortcut;
    QTest::newRow(".URL") << "/tmp/A.URL" << LinkFileType::InternetShortcut;
    QTest::newRow(".ram") << "/tmp/a.ram" << LinkFileType::RealMedia;
    QTest::newRow(".url.txt") << "/tmp/a.url.txt" << LinkFileType::Other;
    QTest::newRow(".rm") << "/tmp/a.rm" << LinkFileType::Other;
    QTest::newRow("empty") << "" << LinkFileType::Other;
}

void tst_LinkFiles::linkFileType_matchesExtensionWithoutCase() {
    QFETCH(QString, path);
    QFETCH(LinkFileType, type);
    QCOMPARE(linkFileType(path), type);
}

void tst_LinkFiles::writeThenRead_givesBackWhatWasWritten_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QByteArray>("onDisk");

    QTest::newRow("shortcut") << "a.url" << QStringList{"ftp://host/pub/"}
                              << QByteArray("[InternetShortcut]\r\nURL=ftp://host/pub/\r\n");
    QTest::newRow("shortcut with trailing blank")
        << "b.URL" << QStringList{QString::fromUtf8("http://bü/ ")}
        << QByteArray("[InternetShortcut]\r\nURL=http://b\xC3\xBC/ \r\n");
    QTest::newRow("empty shortcut address")
        << "e.url" << QStringList{""} << QByteArray("[InternetShortcut]\r\nURL=\r\n");
    QTest::newRow("single RealMedia link")
        << "a.ram" << QStringList{"http://a/x.rm"} << QByteArray("http://a/x.rm\r\n");
    QTest::newRow("empty RealMedia link") << "e.ram" << QStringList{""} << QByteArray("\r\n");
    QTest::newRow("play list") << "p.RAM" << QStringList{"A", "", "B"}
                               << QByteArray("A\r\n\r\nB\r\n");
    QTest::newRow("empty play list") << "n.ram" << QStringList() << QByteArray();
}

void tst_LinkFiles::writeThenRead_givesBackWhatWasWritten() {
    QFETCH(QString, name);
    QFETCH(QStringList, addresses);
    QFETCH(QByteArray, onDisk);
    const QString path = dir->filePath(name);
    const bool shortcut = linkFileType(path) == LinkFileType::InternetShortcut;
    // Written over an older file, which must be replaced whole.
    putFile(path, QByteArray(100, 'x'));
    const QString error = shortcut ? writeInternetShortcut(path, addresses.value(0), false)
                                   : writeRealMedia(path, addresses);
    QCOMPARE(error, QString());
    QCOMPARE(fileBytes(path), onDisk);
    if (shortcut) {
        QCOMPARE(onDisk.size(), 26 + addresses.first().toUtf8().size());
    }
    const ReadResult<LinkFileContent> read = readLinkFile(path);
    QCOMPARE(read.error, QString());
    QCOMPARE(read.value.addresses, addresses);
}

void tst_LinkFiles::writeInternetShortcut_keepOtherKeysChoosesPreservingOrPlain_data() {
    QTest::addColumn<bool>("keepOtherKeys");
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray plain("[InternetShortcut]\r\nURL=http://new.example/\r\n");
    QTest::newRow("keeping, over a browser file")
        << true << true << QByteArray(browserShortcut).replace("old.example", "new.example");
    QTest::newRow("not keeping, over a browser file") << false << true << plain;
    QTest::newRow("keeping, new file") << true << false << plain;
}

void tst_LinkFiles::writeInternetShortcut_keepOtherKeysChoosesPreservingOrPlain() {
    QFETCH(bool, keepOtherKeys);
    QFETCH(bool, fileExists);
    QFETCH(QByteArray, expected);
    const QString path = dir->filePath(QStringLiteral("a.url"));
    if (fileExists) {
        putFile(path, browserShortcut);
    }
    QCOMPARE(writeInternetShortcut(path, QStringLiteral("http://new.example/"), keepOtherKeys),
             QString());
    QCOMPARE(fileBytes(path), expected);
}

void tst_LinkFiles::sampleFiles_readAndWriteBackUnchanged_data() {
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
    QTest::newRow("play list") << "playlist.ram"
                               << QStringList{"http://media.example.org/a.rm",
                                              "rtsp://media.example.org/b.rm", "",
                                              "http://media.example.org/c.rm"};
    QTest::newRow("Latin-1 RealMedia link")
        << "latin1.ram" << QStringList{QString::fromUtf8("http://media.example.org/café.rm")};
}

void tst_LinkFiles::sampleFiles_readAndWriteBackUnchanged() {
    QFETCH(QString, name);
    QFETCH(QStringList, addresses);
    const QString sample = QFINDTESTDATA(QStringLiteral("fixtures/") + name);
    QVERIFY(!sample.isEmpty());
    const ReadResult<LinkFileContent> read = readLinkFile(sample);
    QCOMPARE(read.error, QString());
    QCOMPARE(read.value.addresses, addresses);
    if (read.value.type != LinkFileType::InternetShortcut) {
        return;
    }
    // Saved with another address and then with the first again, a shortcut is byte for
    // byte the file it was.
    const QString copy = dir->filePath(name);
    QVERIFY(QFile::copy(sample, copy));
    QCOMPARE(writeInternetShortcut(copy, QStringLiteral("http://other.example/"), true), QString());
    QCOMPARE(readInternetShortcut(copy).value, QStringLiteral("http://other.example/"));
    QCOMPARE(writeInternetShortcut(copy, addresses.first(), true), QString());
    QCOMPARE(fileBytes(copy), fileBytes(sample));
}

void tst_LinkFiles::readLinkFile_badInput_namesFileAndReason_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing shortcut") << "m.url"
                                      << "none"
                                      << "it does not exist";
    QTest::newRow("missing RealMedia link") << "m.ram"
                                            << "none"
                                            << "it does not exist";
    QTest::newRow("folder") << "d.url"
                            << "folder"
                            << "it is a folder";
    QTest::newRow("pipe") << "p.ram"
                          << "fifo"
                          << "it is not a regular file";
    QTest::newRow("100 MB shortcut") << "big.url"
                                     << "huge"
                                     << "it is larger than 64 MiB";
    QTest::newRow("100 MB RealMedia link") << "big.ram"
                                           << "huge"
                                           << "it is larger than 64 MiB";
    QTest::newRow("NUL bytes in RealMedia link") << "bin.ram"
                                                 << "binary"
                                                 << "it holds binary data, not lines of text";
    QTest::newRow("shortcut without URL") << "n.url"
                                          << "nourl"
                                          << "it has no URL entry";
    QTest::newRow("unreadable shortcut") << "u.url"
                                         << "unreadable"
                                         << "permission denied";
    QTest::newRow("not a link file") << "a.txt"
                                     << "nourl"
                                     << "it is not a link file (*.url or *.ram)";
}

void tst_LinkFiles::readLinkFile_badInput_namesFileAndReason() {
    QFETCH(QString, name);
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    const QString path = dir->filePath(name);
    if (setup == QLatin1String("folder")) {
        QVERIFY(QDir(dir->path()).mkdir(name));
    } else if (setup == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (setup == QLatin1String("huge")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(100 * 1000 * 1000));  // sparse: costs no disk
    } else if (setup == QLatin1String("binary")) {
        putFile(path, QByteArray("http://a/\r\n\x00\x01\x02\r\n", 14));
    } else if (setup == QLatin1String("nourl")) {
        putFile(path, "[InternetShortcut]\r\nIconIndex=1\r\n");
    } else if (setup == QLatin1String("unreadable")) {
        if (runningAsRoot()) {
            QSKIP("root reads every file");
        }
        putFile(path, "[InternetShortcut]\r\nURL=x\r\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }
    const ReadResult<LinkFileContent> result = readLinkFile(path);
    QCOMPARE(result.error,
             QStringLiteral("The file \"%1\" could not be read: %2.").arg(path, reason));
    QVERIFY(result.value.addresses.isEmpty());
}

void tst_LinkFiles::writers_failure_namesFileAndReasonAndKeepsOldFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("reason");  // %1: the temporary folder

    QTest::newRow("missing folder") << "gone/a.url"
                                    << "none"
                                    << "the folder \"%1/gone\" does not exist";
    QTest::newRow("file as folder") << "file/a.ram"
                                    << "fileAsFolder"
                                    << "\"%1/file\" is not a folder";
    QTest::newRow("path is a folder") << "d.url"
                                      << "folder"
                                      << "it is a folder";
    QTest::newRow("read-only file") << "r.ram"
                                    << "readOnlyFile"
                                    << "it is read-only";
    QTest::newRow("read-only folder") << "ro/a.url"
                                      << "readOnlyFolder"
                                      << "the folder \"%1/ro\" is read-only";
    QTest::newRow("unreadable shortcut kept")
        << "u.url"
        << "unreadable"
        << "its other entries could not be read (permission denied)";
}

void tst_LinkFiles::writers_failure_namesFileAndReasonAndKeepsOldFile() {
    QFETCH(QString, name);
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    const QString path = dir->filePath(name);
    const QByteArray old("[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=1\r\n");
    bool hasOldFile = false;
    if (setup == QLatin1String("fileAsFolder")) {
        putFile(dir->filePath(QStringLiteral("file")), old);
    } else if (setup == QLatin1String("folder")) {
        QVERIFY(QDir(dir->path()).mkdir(name));
    } else if (setup != QLatin1String("none")) {
        if (runningAsRoot()) {
            QSKIP("root writes and reads every file");
        }
        QVERIFY(QDir(dir->path()).mkpath(QFileInfo(path).path()));
        putFile(path, old);
        hasOldFile = true;
        const QString locked =
            setup == QLatin1String("readOnlyFolder") ? QFileInfo(path).path() : path;
        const auto permissions = setup == QLatin1String("readOnlyFolder")
                                     ? QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                 : setup == QLatin1String("readOnlyFile") ? QFileDevice::ReadOwner
                                                                          : QFileDevice::WriteOwner;
        QVERIFY(QFile::setPermissions(locked, permissions));
    }
    const QString error = linkFileType(path) == LinkFileType::RealMedia
                              ? writeRealMedia(path, {QStringLiteral("http://new/")})
                              : writeInternetShortcut(path, QStringLiteral("http://new/"), true);
    QCOMPARE(error, QStringLiteral("The file \"%1\" could not be saved: %2.")
                        .arg(path, QString(reason).replace(QStringLiteral("%1"), dir->path())));
    if (hasOldFile) {
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(fileBytes(path), old);
    }
    QFile::setPermissions(QFileInfo(path).path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QTEST_GUILESS_MAIN(tst_LinkFiles)
#include "tst_LinkFiles.moc"
