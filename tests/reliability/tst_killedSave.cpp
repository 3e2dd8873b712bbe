// A save killed at any moment (SIGKILL: no chance to tidy up) leaves the old file or the new
// one whole, never a mix or a stub, and nothing beside it that is not whole. A child saves
// two versions by turns through the program's writer; each round kills it at a random moment.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "LinkFiles.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

class tst_killedSave : public QObject {
    Q_OBJECT

private slots:
    void killedSave_leavesOldOrNewFileWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("link.ram"));
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
            const QStringList names = QDir(dir.path())
                                          .entryList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot);
            // A kill between naming the finished new file and the rename leaves it beside.
            for (const QString& name : names) {
                const QByteArray bytes = readAll(dir.filePath(name));
                QVERIFY2(bytes == versions[0] || bytes == versions[1],
                         qPrintable(QStringLiteral("round %1: %2 holds %3 bytes, neither version")
                                        .arg(round)
                                        .arg(name)
                                        .arg(bytes.size())));
                if (name != QLatin1String("link.ram")) {
                    QVERIFY(QFile::remove(dir.filePath(name)));
                }
            }
            ++seen[readAll(path) == versions[1] ? 1 : 0];
        }
        // Kills landed at different points: both versions were left at least once.
        QVERIFY2(seen[0] > 0 && seen[1] > 0,
                 qPrintable(QStringLiteral("old %1, new %2").arg(seen[0]).arg(seen[1])));
    }
};

QTEST_GUILESS_MAIN(tst_killedSave)
#include "tst_killedSave.moc"
