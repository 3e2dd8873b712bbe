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

    QString put(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        return ok ? file.fileName() : QString();
    }

private slots:
    void readers_overACap_refuseNamingIt_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");  // empty: read
        const QByteArray atCap(lineCap, 'a');
        const QString longLine = QStringLiteral("it has a line longer than 256 KiB");
        auto row = [](const char* tag, const char* name, const QByteArray& bytes,
                      const QString& reason) { QTest::newRow(tag) << name << bytes << reason; };
        row("address of exactly the cap", "a.ram", atCap + "\r\n", "");
        row("address over the cap", "b.ram", "x\r\n" + atCap + "a", longLine);
        row("shortcut address over the cap", "c.url", "[InternetShortcut]\r\nURL=" + atCap + "a",
            longLine);
        row("entries at the cap", "d.ram", QByteArray(lineCountCap, '\n'), "");
        row("entries over the cap", "e.ram", QByteArray(lineCountCap + 1, '\n'),
            "it holds more than 1,000,000 lines");
        row("recent path over the cap", "recent.dat", "/a.url\r\n" + atCap + "a", longLine);
        row("tips file over the cap", "tod.dat", "tip\n" + atCap, longLine);
    }
    void readers_overACap_refuseNamingIt() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = put(name, bytes);
        QStringList lines;
        const QString error = name == "tod.dat"      ? TextFileIo::readDataFile(path, lines)
                              : name == "recent.dat" ? RecentList::read(path).error
                                                     : readLinkFile(path).error;
        QCOMPARE(error, reason.isEmpty() ? QString() : TextFileIo::readError(path, reason));
    }

    void split_decodesEachLineAlone_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("lfEndsLine");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Latin-1 beside UTF-8")
            << QByteArray("caf\xE9\rcaf\xC3\xA9") << true << QStringList{"caf\u00E9", "caf\u00E9"};
        QTest::newRow("overlong form is Latin-1")
            << QByteArray("\xC0\xAF") << true << QStringList{"\u00C0\u00AF"};
        QTest::newRow("character cut at the end is Latin-1")
            << QByteArray("tip\r\n\xE2\x82") << false << QStringList{"tip", "\u00E2\u0082"};
        QTest::newRow("LF is part of a data file's line")
            << QByteArray("a\nb\r\nc\r") << false << QStringList{"a\nb", "c"};
    }
    void split_decodesEachLineAlone() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, lfEndsLine);
        QFETCH(QStringList, lines);
        LineStore::Rules rules;
        rules.lfEndsLine = lfEndsLine;
        LineStore store;
        QCOMPARE(LineStore::split(bytes, false, rules, store), QString());
        QCOMPARE(store.toStringList(), lines);
    }

    // Of a file over the size cap, the lines wholly in its last cap bytes are read.
    void readLineFile_sizeCap_refusesOrKeepsTheNewest_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("cap");
        QTest::addColumn<bool>("keepNewest");
        QTest::addColumn<QStringList>("lines");  // {"!"}: refused as too large
        const QByteArray two("old\n/a.url\n");
        QTest::newRow("exactly the cap") << two << 11 << false << QStringList{"old", "/a.url"};
        QTest::newRow("over the cap") << two << 10 << false << QStringList{"!"};
        QTest::newRow("newest: line on the cut kept") << two << 7 << true << QStringList{"/a.url"};
        QTest::newRow("newest: cut line dropped")
            << QByteArray("cut.url\r\n/a.url\r\n/b") << 16 << true << QStringList{"/a.url", "/b"};
    }
    void readLineFile_sizeCap_refusesOrKeepsTheNewest() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, cap);
        QFETCH(bool, keepNewest);
        QFETCH(QStringList, lines);
        LineStore::Rules rules;
        rules.keepNewest = keepNewest;
        const QString path = put("list.dat", bytes);
        const ReadResult<LineStore> read = TextFileIo::readLineFile(path, cap, rules, false);
        QCOMPARE(read.error, lines == QStringList{"!"}
                                 ? TextFileIo::readError(path, TextFileIo::tooLargeReason(cap))
                                 : QString());
        QCOMPARE(read.value.toStringList(), read.ok() ? lines : QStringList());
    }

    void recentList_overTheLineCountCap_keepsTheNewest() {
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
