#include <QElapsedTimer>
#include <QListView>
#include <QtTest/QTest>

#include "LinkFiles.h"
#include "PlayListFixture.h"
#include "PlayListModel.h"
#include "frmRMMulti.h"

// A play list of 100,000 entries opens, moves entries and saves without stalling the
// window. Prints the measured times; the limits leave room for a loaded machine.
class tst_PlayListSpeed : public QObject {
    Q_OBJECT

#if defined(__SANITIZE_ADDRESS__)
    static constexpr qint64 slowdown = 10;
#else
    static constexpr qint64 slowdown = 1;
#endif

private slots:
    void hundredThousandEntries_openMoveAndSaveQuickly() {
        constexpr int count = 100000;
        PlayListFixture f;
        QStringList lines;
        lines.reserve(count);
        for (int i = 0; i < count; ++i) {
            lines.append(QStringLiteral("rtsp://media.example.com/live/stream%1.rm").arg(i));
        }
        const QString path = f.write("big.ram", realMediaBytes(lines));

        frmRMMulti window(f.state);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(window.openFile(path));
        window.selectEntry(count / 2);
        QCoreApplication::processEvents();
        window.grab();  // lays out and paints the view
        const qint64 openMs = clock.elapsed();
        QCOMPARE(window.playList()->count(), count);

        clock.restart();
        for (int i = 0; i < 500; ++i) {
            window.cmdUp_Click();
            QCoreApplication::processEvents();
        }
        for (int i = 0; i < 500; ++i) {
            window.cmdDown_Click();
            QCoreApplication::processEvents();
        }
        window.grab();
        const qint64 moveMs = clock.elapsed();
        QCOMPARE(window.selectedIndex(), count / 2);
        QCOMPARE(window.entries(), lines);

        clock.restart();
        window.cmdAdd_Click();
        window.cmdRemove_Click();
        QCoreApplication::processEvents();
        const qint64 editMs = clock.elapsed();

        f.prompts.answerSave(f.path("saved.ram"));
        clock.restart();
        window.fileAction(5)->trigger();
        const qint64 saveMs = clock.elapsed();
        QCOMPARE(f.bytes(f.path("saved.ram")), realMediaBytes(lines));

        qInfo(
            "100,000 entries: open and fill the view %lld ms, 1,000 Up/Down moves %lld ms, "
            "add and remove %lld ms, save %lld ms",
            openMs, moveMs, editMs, saveMs);
        QVERIFY2(openMs < 500 * slowdown, "opening stalls the window");
        QVERIFY2(moveMs < 2000 * slowdown, "moving entries stalls the window");
        QVERIFY2(editMs < 200 * slowdown, "adding or removing stalls the window");
        QVERIFY2(saveMs < 500 * slowdown, "saving stalls the window");
    }
};

QTEST_MAIN(tst_PlayListSpeed)
#include "tst_PlayListSpeed.moc"
