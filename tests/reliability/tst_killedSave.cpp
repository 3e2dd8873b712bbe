// A save killed at any moment (SIGKILL: no chance to tidy up) leaves the old file or the new
// one whole, never a mix or a stub, and no temporary file beside it. save_loop saves two
// versions by turns through the program's writers; each round kills it at a random moment.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>

#include "LinkFiles.h"
#include "SaveLoopVersions.h"

namespace {

constexpr int Rounds = 40;
// Per row; a sanitizer build on a busy machine gets through fewer rounds.
constexpr qint64 TimeBudgetMs = 20000;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

class tst_killedSave : public QObject {
    Q_OBJECT

private slots:
    void killedSave_leavesOldOrNewFileWhole_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        const QByteArray shortcut = SaveLoopVersions::shortcutStart();
        QTest::newRow("Internet shortcut keeping its other sections")
            << "url" << shortcut << internetShortcutBytes(SaveLoopVersions::address(1), shortcut);
        QTest::newRow("RealMedia play list")
            << "ram" << realMediaBytes(SaveLoopVersions::playList(0))
            << realMediaBytes(SaveLoopVersions::playList(1));
    }

    void killedSave_leavesOldOrNewFileWhole() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QVERIFY(first != second);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString name = QStringLiteral("link.") + kind;
        const QString path = dir.filePath(name);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(first), first.size());
        }

        QRandomGenerator random(20261206);
        // How long one save takes here (sanitizers and a busy machine slow it down), measured
        // from the saver's own reports.
        qint64 saveUs = 20000;
        int seen[2] = {0, 0};
        int strays = 0;
        QElapsedTimer budget;
        budget.start();
        for (int round = 0; round < Rounds && budget.elapsed() < TimeBudgetMs; ++round) {
            QProcess saver;
            saver.start(QStringLiteral(SAVE_LOOP_PROGRAM), {kind, path});
            QVERIFY(saver.waitForStarted());
            // After a random number of finished saves, the kill lands somewhere in the next.
            const int target = 1 + int(random.bounded(4));
            int saves = 0;
            QElapsedTimer sinceFirstSave;
            while (saves < target) {
                QVERIFY2(saver.waitForReadyRead(10000), saver.readAllStandardError().constData());
                const int before = saves;
                saves += int(saver.readAllStandardOutput().count('\n'));
                if (before == 0 && saves > 0) {
                    sinceFirstSave.start();
                }
            }
            if (saves >= 2) {
                saveUs = qMax<qint64>(1, sinceFirstSave.nsecsElapsed() / 1000 / (saves - 1));
            }
            QThread::usleep(ulong(random.bounded(saveUs)));
            QCOMPARE(::kill(pid_t(saver.processId()), SIGKILL), 0);
            QVERIFY(saver.waitForFinished(10000));
            QVERIFY2(saver.exitStatus() == QProcess::CrashExit,
                     saver.readAllStandardError().constData());

            const QByteArray bytes = readAll(path);
            QVERIFY2(bytes == first || bytes == second,
                     qPrintable(QStringLiteral("round %1: %2 bytes, neither version")
                                    .arg(round)
                                    .arg(bytes.size())));
            ++seen[bytes == second ? 1 : 0];
            // A kill between QSaveFile's naming of its finished temporary file and the rename
            // can leave that file beside the link; it must then be a whole version too.
            const QStringList names = QDir(dir.path())
                                          .entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                     QDir::Hidden | QDir::System);
            for (const QString& other : names) {
                if (other == name) {
                    continue;
                }
                QVERIFY2(other.startsWith(name + QLatin1Char('.')), qPrintable(other));
                const QByteArray stray = readAll(dir.filePath(other));
                QVERIFY2(stray == first || stray == second,
                         qPrintable(QStringLiteral("round %1: %2 holds %3 bytes")
                                        .arg(round)
                                        .arg(other)
                                        .arg(stray.size())));
                ++strays;
                QVERIFY(QFile::remove(dir.filePath(other)));
            }
        }
        if (strays > 0) {
            qInfo("%d of the kills left QSaveFile's temporary file behind", strays);
        }
        // Kills landed at different points: both versions were left at least once.
        QVERIFY2(seen[0] > 0 && seen[1] > 0,
                 qPrintable(QStringLiteral("old %1, new %2").arg(seen[0]).arg(seen[1])));
    }
};

QTEST_GUILESS_MAIN(tst_killedSave)
#include "tst_killedSave.moc"
