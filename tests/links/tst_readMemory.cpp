// A link file asks for no more memory than its lines need, whatever its first read chunk
// suggests. Here a file that opens with a megabyte of empty lines and goes on as one long
// line: room made ahead for 64 million lines (1.5 GiB) ended the program where the memory
// could not be had.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include "LinkFiles.h"

class tst_readMemory : public QObject {
    Q_OBJECT
private slots:
    void readRealMedia_emptyLinesThenOneLongLine_fitsInAGigabyteMore();
};

namespace {

// The process's mapped size, from /proc/self/statm.
qint64 mappedBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    return statm.readAll().split(' ').value(0).toLongLong() * ::sysconf(_SC_PAGESIZE);
}

}  // namespace

void tst_readMemory::readRealMedia_emptyLinesThenOneLongLine_fitsInAGigabyteMore() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizer's shadow memory does not fit under an address-space limit");
#endif
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("list.ram"));
    const qint64 emptyLines = qint64(1) << 20;
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(QByteArray(emptyLines, '\n')) == emptyLines);
        const QByteArray longLine(linkFileSizeCap - emptyLines, 'a');
        QVERIFY(file.write(longLine) == longLine.size());
    }
    // What the lines need is some 250 MiB: allow a gigabyte more than is mapped now.
    const qint64 mapped = mappedBytes();
    QVERIFY(mapped > 0);
    rlimit before{};
    QCOMPARE(::getrlimit(RLIMIT_AS, &before), 0);
    rlimit limited = before;
    limited.rlim_cur = rlim_t(mapped + (qint64(1) << 30));
    QCOMPARE(::setrlimit(RLIMIT_AS, &limited), 0);
    const ReadResult<QStringList> read = readRealMedia(path);
    QCOMPARE(::setrlimit(RLIMIT_AS, &before), 0);

    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(read.value.size(), emptyLines + 1);
    QCOMPARE(read.value.last().size(), linkFileSizeCap - emptyLines);
}

QTEST_GUILESS_MAIN(tst_readMemory)
#include "tst_readMemory.moc"
