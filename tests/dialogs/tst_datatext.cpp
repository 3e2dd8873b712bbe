// The reader of the tips and help files, on the inputs fuzzing found it mishandled.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include "DataText.h"

class tst_datatext : public QObject {
    Q_OBJECT
private slots:
    void splitLines_characterCutAtTheEnd_readAsLatin1_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Latin-1 e acute as the last byte")
            << QByteArray("Caf\xE9") << QStringList{QStringLiteral("Caf\u00E9")};
        QTest::newRow("lone lead byte")
            << QByteArray("\xCE") << QStringList{QStringLiteral("\u00CE")};
        QTest::newRow("three-byte character cut after two, on the last line")
            << QByteArray("tip\r\n\xE2\x82") << QStringList{"tip", QStringLiteral("\u00E2\u0082")};
        QTest::newRow("whole character at the end stays UTF-8")
            << QByteArray("caf\xC3\xA9") << QStringList{QStringLiteral("caf\u00E9")};
    }
    void splitLines_characterCutAtTheEnd_readAsLatin1() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(DataText::splitLines(bytes), lines);
    }

    void readLines_pipe_refusedWithoutWaitingForAWriter() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("tod.dat"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const DataText::Lines read = DataText::readLines(path);
        QVERIFY(read.lines.isEmpty());
        QCOMPARE(read.error,
                 QStringLiteral("The file \"%1\" could not be read: it is not a regular file.")
                     .arg(path));
    }
};

QTEST_GUILESS_MAIN(tst_datatext)
#include "tst_datatext.moc"
