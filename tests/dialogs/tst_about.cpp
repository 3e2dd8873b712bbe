#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "DialogFixture.h"
#include "frmAbout.h"
#include "frmCheck.h"

class tst_about : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { checkNoWindowsLeft(); }

    void load_setsCaptionAndLabels() {
        DialogFixture f;
        frmAbout about(f.state);
        QCOMPARE(about.windowTitle(), QStringLiteral("About Orvane Editor"));
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Orvane Editor"));
        QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 1.0.0"));
        QVERIFY(!about.lblCopyright->text().isEmpty());
        QCOMPARE(about.cmdOK->text(), QStringLiteral("OK"));
        QCOMPARE(about.cmdSysInfo->text(), QStringLiteral("&System Info..."));
        QCOMPARE(about.cmdCheck->text(), QStringLiteral("Check for Upgrade"));
    }

    void keys_enterAndEscapeClose_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void keys_enterAndEscapeClose() {
        QFETCH(int, key);
        DialogFixture f;
        auto* about = new frmAbout(f.state);
        about->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<frmAbout> guard(about);
        whenModalShown([key](QWidget* modal) { QTest::keyClick(modal, Qt::Key(key)); });
        about->exec();
        QVERIFY(guard.isNull());
        QVERIFY(f.prompts.calls.isEmpty());
    }

    void sysInfo_startsFirstToolOnPath_data() {
        QTest::addColumn<QStringList>(
            "installed");  // "folder/name", or "folder/name!" not executable
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QString>("expected");  // the program started, or empty for the message
        QTest::newRow("none installed") << QStringList{} << true << "";
        QTest::newRow("hardinfo") << QStringList{"b/hardinfo"} << true << "b/hardinfo";
        QTest::newRow("kinfocenter preferred over an earlier folder's hardinfo")
            << QStringList{"a/hardinfo", "b/kinfocenter"} << true << "b/kinfocenter";
        QTest::newRow("same tool: first folder wins")
            << QStringList{"a/gnome-system-monitor", "b/gnome-system-monitor"} << true
            << "a/gnome-system-monitor";
        QTest::newRow("not executable is skipped")
            << QStringList{"a/kinfocenter!", "b/hardinfo"} << true << "b/hardinfo";
        QTest::newRow("start fails") << QStringList{"a/hardinfo"} << false << "a/hardinfo";
    }
    void sysInfo_startsFirstToolOnPath() {
        QFETCH(QStringList, installed);
        QFETCH(bool, starts);
        QFETCH(QString, expected);
        DialogFixture f;
        for (QString entry : installed) {
            const bool executable = !entry.endsWith('!');
            entry.remove('!');
            const QString path = f.writeFile("bin/" + entry, "#!/bin/sh\n");
            if (executable) {
                QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
            }
        }
        const bool message = expected.isEmpty() || !starts;
        if (message) {
            f.prompts.answerMessage(Prompts::Answer::Ok);
        }
        frmAbout about(f.state);
        about.setSearchPath(f.dir.filePath("bin/a") + ':' + f.dir.filePath("bin/b") + "::/nowhere");
        QStringList startedPrograms;
        about.setProgramStarter([&](const QString& program) {
            startedPrograms << program;
            return starts;
        });
        about.cmdSysInfo->click();
        if (!expected.isEmpty()) {
            QCOMPARE(startedPrograms, QStringList{f.dir.filePath("bin/" + expected)});
        } else {
            QVERIFY(startedPrograms.isEmpty());
        }
        if (message) {
            QCOMPARE(f.prompts.calls.size(), 1);
            QCOMPARE(f.prompts.calls[0].text,
                     QStringLiteral("System Information Is Unavailable At This Time"));
            QCOMPARE(f.prompts.calls[0].title, QStringLiteral("Orvane Editor"));
            QCOMPARE(f.prompts.calls[0].buttons, Prompts::Buttons::Ok);
        } else {
            QVERIFY(f.prompts.calls.isEmpty());
        }
    }

    void checkForUpgrade_opensUpdateCheckModallyOverTheAboutBox() {
        DialogFixture f;
        auto* about = new frmAbout(f.state);
        about->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<frmAbout> guard(about);
        QPointer<frmCheck> check;
        bool aboutShownBeneath = false;
        whenModalShown([&](QWidget* modal) {
            whenModalShown([&](QWidget* top) {
                check = qobject_cast<frmCheck*>(top);
                aboutShownBeneath = check && check->parentWidget() == modal && modal->isVisible();
                top->close();
                // The about box takes input again once the check is gone.
                whenModalShown([](QWidget* again) {
                    QVERIFY(qobject_cast<frmAbout*>(again));
                    QTest::keyClick(again, Qt::Key_Escape);
                });
            });
            QTest::mouseClick(qobject_cast<frmAbout*>(modal)->cmdCheck, Qt::LeftButton);
        });
        about->exec();
        QVERIFY(aboutShownBeneath);
        QVERIFY(check.isNull());
        QVERIFY(guard.isNull());
    }
};

QTEST_MAIN(tst_about)
#include "tst_about.moc"
