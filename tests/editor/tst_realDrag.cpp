#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>

#include "EditorTestBed.h"

// A real drag under an X server: xdotool presses the mouse on selected text in another
// window, moves it over the editor's address box and lets go. Run by CTest under xvfb-run.
class tst_realDrag : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorTestBed> bed;

private slots:
    void init() {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            QSKIP("needs an X server (run under xvfb-run)");
        }
        if (QStandardPaths::findExecutable("xdotool").isEmpty()) {
            QSKIP("needs xdotool");
        }
        bed = std::make_unique<EditorTestBed>();
    }
    void cleanup() {
        if (bed) {
            tearDownAndCheckWindows(bed);
        }
    }

    void dragText_fromAnotherWindow_replacesTheAddress() {
        QLineEdit source(QStringLiteral("http://dragged.example/path"));
        source.setWindowFlag(Qt::FramelessWindowHint);
        source.setDragEnabled(true);
        source.setFixedWidth(300);
        source.move(40, 40);
        source.show();
        frmMain* editor = bed->editor();
        editor->setAddress("http://old.example/");
        editor->setUrlChanged(false);
        editor->show();
        editor->move(40, 240);
        QVERIFY(QTest::qWaitForWindowExposed(&source));
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        source.selectAll();

        const QPoint from = source.mapToGlobal(QPoint(40, source.height() / 2));
        const QPoint to = editor->txtURL->mapToGlobal(editor->txtURL->rect().center());
        QStringList script = {QStringLiteral("mousemove %1 %2").arg(from.x()).arg(from.y()),
                              QStringLiteral("sleep 0.3"), QStringLiteral("mousedown 1")};
        for (int step = 1; step <= 10; ++step) {
            const QPoint at = from + (to - from) * step / 10;
            script << QStringLiteral("sleep 0.1")
                   << QStringLiteral("mousemove %1 %2").arg(at.x()).arg(at.y());
        }
        script << QStringLiteral("sleep 0.3") << QStringLiteral("mouseup 1");
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"),
                      script.join(QLatin1Char(' ')).split(QLatin1Char(' ')));
        QVERIFY(xdotool.waitForStarted());

        QTRY_COMPARE_WITH_TIMEOUT(editor->address(), QStringLiteral("http://dragged.example/path"),
                                  15000);
        QVERIFY(editor->urlChanged());
        // The drop is a copy: the text stays where it was dragged from.
        QCOMPARE(source.text(), QStringLiteral("http://dragged.example/path"));
        QTRY_COMPARE(xdotool.state(), QProcess::NotRunning);
    }
};

QTEST_MAIN(tst_realDrag)
#include "tst_realDrag.moc"
