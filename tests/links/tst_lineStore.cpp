// The compact line store under the readers: caps named in the refusal, lines decoded one by
// one, the newest part of an oversized recent list, edits, and the memory a list takes.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <malloc.h>

#include "LinkFiles.h"
#include "RecentList.h"
#include "TextFileIo.h"

class tst_lineStore : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString put(const QString& name, const QByteArray& bytes, qint64 holeBefore = 0) {
        QFile file(dir.filePath(name));
        const bool ok = file.open(QIODevice::WriteOnly) && file.resize(holeBefore) &&
                        file.seek(holeBefore) && file.write(bytes) == bytes.size();
        return ok ? file.fileName() : QString();
    }

private slots:
    void readers_overACap_refuseNamingIt_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");  // empty: read
        const QByteArray atCap(lineCap, 'a');
        QTest::newRow("address of exactly the cap") << "a.ram" << atCap + "\r\n"
                                                    << "";
        QTest::newRow("address over the cap") << "b.ram"
                                              << "x\r\n" + atCap + "a"
                                              << "it has a line longer than 256 KiB";
        QTest::newRow("shortcut address over the cap")
            << "c.url"
            << "[InternetShortcut]\r\nURL=" + atCap + "a\r\n"
            << "it has a line longer than 256 KiB";
        QTest::newRow("entries at the cap") << "d.ram" << QByteArray(lineCountCap, '\n') << "";
        QTest::newRow("entries over the cap") << "e.ram" << QByteArray(lineCountCap + 1, '\n')
                                              << "it holds more than 1,000,000 lines";
        QTest::newRow("recent path over the cap") << "recent.dat"
                                                  << "/a.url\r\n" + atCap + "a\r\n"
                                                  << "it has a line longer than 256 KiB";
        QTest::newRow("tips file over the cap")
            << "tod.dat"
            << "tip\n" + atCap << "it has a line longer than 256 KiB";
    }
    void readers_overACap_refuseNamingIt() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = put(name, bytes);
        QString error;
        QStringList lines;
        if (name.endsWith(QLatin1String(".dat"))) {
            error = name == QLatin1String("tod.dat") ? TextFileIo::readDataFile(path, lines)
                                                     : RecentList::read(path).error;
        } else {
            error = readLinkFile(path).error;
        }
        QCOMPARE(error, reason.isEmpty() ? QString() : TextFileIo::readError(path, reason));
    }

    void split_decodesEachLineAlone_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("lfEndsLine");
        QTest::addColumn<bool>("cutAtStart");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Latin-1 beside UTF-8") << QByteArray("caf\xE9\rcaf\xC3\xA9") << true << false
                                              << QStringList{"caf\u00E9", "caf\u00E9"};
        QTest::newRow("character cut at the end is Latin-1")
            << QByteArray("tip\r\n\xE2\x82") << false << false
            << QStringList{"tip", QStringLiteral("\u00E2\u0082")};
        QTest::newRow("LF is part of a data file's line")
            << QByteArray("a\nb\r\nc\r") << false << false << QStringList{"a\nb", "c"};
        QTest::newRow("cut line dropped to its CR LF")
            << QByteArray("th.url\r\n/a.url\r\n") << true << true << QStringList{"/a.url"};
        QTest::newRow("cut at a line start keeps that line")
            << QByteArray("\n\r\n/a.url") << true << true << QStringList{"", "/a.url"};
    }
    void split_decodesEachLineAlone() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, lfEndsLine);
        QFETCH(bool, cutAtStart);
        QFETCH(QStringList, lines);
        LineStore::Rules rules;
        rules.lfEndsLine = lfEndsLine;
        LineStore store;
        QCOMPARE(LineStore::split(bytes, cutAtStart, rules, store), QString());
        QCOMPARE(store.toStringList(), lines);
    }

    void recentList_overTheCaps_givesTheNewestLines() {
        // A file over the size cap is read from a cut line near its end.
        const QString big = put("big.dat", "cut.url\r\n/a.url\r\n/b.ram\r\n", RecentList::sizeCap);
        const ReadResult<QStringList> tail = RecentList::read(big);
        QCOMPARE(tail.error, QString());
        QCOMPARE(tail.value, QStringList({"/a.url", "/b.ram"}));
        // Over the line cap, the oldest lines go.
        QByteArray lines = "/old\n" + QByteArray(lineCountCap - 1, '\n') + "/new\n";
        const ReadResult<LineStore> newest = RecentList::readLines(put("many.dat", lines));
        QCOMPARE(newest.error, QString());
        QCOMPARE(newest.value.size(), lineCountCap);
        QCOMPARE(newest.value.at(0), QString());
        QCOMPARE(newest.value.at(lineCountCap - 1), QStringLiteral("/new"));
    }

    void edits_keepEveryOtherEntryAsItWas() {
        const QStringList texts{"Ã©", "a\r\nb", QStringLiteral("\uFEFFx"), ""};
        LineStore store;
        LineStore::split("caf\xE9\n\xEF\xBB\xBFz\n", false, LineStore::Rules(), store);
        for (const QString& text : texts) {
            QVERIFY(store.append(text));
        }
        store.removeAt(1);
        store.swapItemsAt(0, 3);
        QVERIFY(store.append(LineStore(QStringList{"y"})));
        QCOMPARE(store.toStringList(),
                 QStringList({QStringLiteral("\uFEFFx"), "Ã©", "a\r\nb", "caf\u00E9", "", "y"}));
    }

    void readRealMediaLines_bigPlayList_takesLittleMoreThanTheFile() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator does not report to mallinfo2");
#endif
        QByteArray bytes;
        for (int i = 0; i < 200'000; ++i) {
            bytes.append("http://media.example.com/streams/clip")
                .append(QByteArray::number(i).rightJustified(6, '0'))
                .append(".rm\r\n");
        }
        const QString path = put("big.ram", bytes);
        const auto allocated = [] {
            const struct mallinfo2 info = ::mallinfo2();
            return qint64(info.uordblks + info.hblkhd);
        };
        const qint64 before = allocated();
        qint64 held = 0;
        {
            const ReadResult<LineStore> read = readRealMediaLines(path);
            QCOMPARE(read.value.size(), 200'000);
            held = allocated() - before;
        }
        // 48-byte lines and 8 bytes of place each: 1.17 times the file.
        QVERIFY2(held < bytes.size() * 5 / 4, qPrintable(QString::number(held)));
        QVERIFY(allocated() - before < (qint64(1) << 20));
    }
};

QTEST_GUILESS_MAIN(tst_lineStore)
#include "tst_lineStore.moc"
