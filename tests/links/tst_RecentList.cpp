#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "LinkFiles.h"
#include "RecentList.h"
#include "TextFileIo.h"

class tst_RecentList : public QObject {
    Q_OBJECT

private slots:
    void init();
    void append_addsPathOnItsOwnLine_data();
    void append_addsPathOnItsOwnLine();
    void append_refusesWhatWouldCorruptTheList_data();
    void append_refusesWhatWouldCorruptTheList();
    void read_givesEveryLineEmptyOnesIncluded_data();
    void read_givesEveryLineEmptyOnesIncluded();
    void read_folder_isAnErrorNamingTheFile();
    void read_linesAcrossReadChunks_sameAsWholeFile_data();
    void read_linesAcrossReadChunks_sameAsWholeFile();
    void appendThenRead_givesPathsOldestFirst();

private:
    QString recentFile() const { return dir->filePath(QStringLiteral("recent.dat")); }
    QByteArray recentBytes() const {
        QFile file(recentFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void putRecent(const QByteArray& bytes) {
        QFile file(recentFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    std::unique_ptr<QTemporaryDir> dir;
};

void tst_RecentList::init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void tst_RecentList::append_addsPathOnItsOwnLine_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("first save creates the file")
        << false << QByteArray() << "/home/u/a.url" << QByteArray("/home/u/a.url\r\n");
    QTest::newRow("same path twice")
        << true << QByteArray("/a.url\r\n") << "/a.url" << QByteArray("/a.url\r\n/a.url\r\n");
    QTest::newRow("last line without end")
        << true << QByteArray("/a.url") << "/b.ram" << QByteArray("/a.url\r\n/b.ram\r\n");
    QTest::newRow("last line ending LF")
        << true << QByteArray("/a.url\n") << "/b.ram" << QByteArray("/a.url\n/b.ram\r\n");
    QTest::newRow("last line ending CR")
        << true << QByteArray("/a.url\r") << "/b.ram" << QByteArray("/a.url\r/b.ram\r\n");
    QTest::newRow("path as UTF-8") << false << QByteArray() << QString::fromUtf8("/tmp/bü.url")
                                   << QByteArray("/tmp/b\xC3\xBC.url\r\n");
    QTest::newRow("empty path adds nothing")
        << true << QByteArray("/a.url") << "" << QByteArray("/a.url");
}

void tst_RecentList::append_addsPathOnItsOwnLine() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QString, path);
    QFETCH(QByteArray, after);
    if (exists) {
        putRecent(before);
    }
    QCOMPARE(RecentList::append(recentFile(), path), QString());
    QCOMPARE(recentBytes(), after);
}

void tst_RecentList::append_refusesWhatWouldCorruptTheList_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("recentIsFolder");
    QTest::addColumn<QString>("reason");

    QTest::newRow("path with LF") << "/tmp/a\nb.url" << false
                                  << "the path \"/tmp/a\nb.url\" holds a line break";
    QTest::newRow("path with CR") << "/tmp/a\rb.url" << false
                                  << "the path \"/tmp/a\rb.url\" holds a line break";
    QTest::newRow("recent list is a folder") << "/tmp/a.url" << true << "it is a folder";
}

void tst_RecentList::append_refusesWhatWouldCorruptTheList() {
    QFETCH(QString, path);
    QFETCH(bool, recentIsFolder);
    QFETCH(QString, reason);
    if (recentIsFolder) {
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("recent.dat")));
    } else {
        putRecent("/old.url\r\n");
    }
    QCOMPARE(RecentList::append(recentFile(), path),
             QStringLiteral("The file \"%1\" could not be saved: %2.").arg(recentFile(), reason));
    if (!recentIsFolder) {
        QCOMPARE(recentBytes(), QByteArray("/old.url\r\n"));
    }
}

void tst_RecentList::read_givesEveryLineEmptyOnesIncluded_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("missing file") << false << QByteArray() << QStringList();
    QTest::newRow("empty file") << true << QByteArray() << QStringList();
    QTest::newRow("empty lines kept")
        << true << QByteArray("/a.url\r\n\r\n/b.ram\r\n") << QStringList{"/a.url", "", "/b.ram"};
}

void tst_RecentList::read_givesEveryLineEmptyOnesIncluded() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    if (exists) {
        putRecent(bytes);
    }
    const ReadResult<QStringList> result = RecentList::read(recentFile());
    QCOMPARE(result.error, QString());
    QCOMPARE(result.value, entries);
}

void tst_RecentList::read_folder_isAnErrorNamingTheFile() {
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("recent.dat")));
    const ReadResult<QStringList> result = RecentList::read(recentFile());
    QCOMPARE(
        result.error,
        QStringLiteral("The file \"%1\" could not be read: it is a folder.").arg(recentFile()));
    QVERIFY(result.value.isEmpty());
}

void tst_RecentList::read_linesAcrossReadChunks_sameAsWholeFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");

    const qsizetype chunk = TextFileIo::readChunk;
    const QByteArray fill(chunk - 1, 'x');
    QTest::newRow("CR LF split between chunks") << fill + "\r\nnext\r\n" << 2;
    QTest::newRow("CR ends a chunk, CR starts the next") << fill + "\r\rnext" << 3;
    QTest::newRow("UTF-8 character split between chunks") << fill + "\xC3\xBC\r\n" << 1;
    QTest::newRow("line longer than two chunks")
        << "a\r\n" + QByteArray(2 * chunk, 'y') + "\r\nz" << 3;
    QByteArray many("\xEF\xBB\xBF");
    for (int i = 0; i < 300000; ++i) {
        many += "/p" + QByteArray::number(i) + (i % 3 ? "\n" : "\r\n");
    }
    QTest::newRow("mark and mixed line ends over several chunks") << many << 300000;
}

void tst_RecentList::read_linesAcrossReadChunks_sameAsWholeFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    putRecent(bytes);
    const ReadResult<QStringList> result = RecentList::read(recentFile());
    QCOMPARE(result.error, QString());
    QCOMPARE(result.value.size(), count);
    QCOMPARE(result.value, parseLines(bytes));
}

void tst_RecentList::appendThenRead_givesPathsOldestFirst() {
    const QStringList paths{"/a.url", QString::fromUtf8("/ü/b.ram"), "/a.url", " /c d.url "};
    for (const QString& path : paths) {
        QCOMPARE(RecentList::append(recentFile(), path), QString());
    }
    QCOMPARE(RecentList::read(recentFile()).value, paths);
}

QTEST_GUILESS_MAIN(tst_RecentList)
#include "tst_RecentList.moc"
