#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "EditorDocument.h"
#include "Fixture.h"
#include "LinkFiles.h"
#include "LinkTarget.h"
#include "frmAbout.h"
#include "frmHelpContent.h"
#include "frmHelpPro.h"
#include "frmOptions.h"
#include "frmStartup.h"
#include "frmTip.h"

namespace {

const QString Typed = QStringLiteral("http://typed.example/");

// The single-link editor as the wizard sees it, with a file of its own and an address the
// user typed and did not save.
struct Target final : LinkTarget {
    explicit Target(Fixture& f) : doc(f.prompts, nullptr, "B", f.state.recentFile) {
        doc.setPath("/old.url");
        doc.setChanged(true);
    }
    void setAddress(const QString& text) override {
        address = text;
        doc.setChanged(true);
    }
    void setLinkKind(LinkKind value) override { kind = value; }
    EditorDocument& document() override { return doc; }
    bool openFile(const QString& path) override {
        opened = path;
        doc.setChanged(false);
        return true;
    }
    EditorDocument doc;
    QString address = Typed;
    LinkKind kind = LinkKind::Web;
    QString opened;
};

}  // namespace

// The tip window, help windows, options dialog, about box and startup wizard.
class tst_dialogs : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<frmHelpPro*>(window) || qobject_cast<frmHelpContent*>(window)) {
                window->close();
            }
        }
        checkNoWindowsLeft();
    }

    void tip_showsTipAtDrawnPosition_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<double>("r");
        QTest::addColumn<QString>("shown");
        const QByteArray three("one\r\ntwo\r\nthree\r\n");
        QTest::newRow("just under a third is the first") << three << 0.3333 << "one";
        QTest::newRow("a third is the second") << three << 1.0 / 3.0 + 1e-9 << "two";
        QTest::newRow("a source that returns 1 picks the last") << three << 1.0 << "three";
        QTest::newRow("empty middle line is a tip") << QByteArray("a\r\n\r\nc") << 0.5 << "";
    }
    void tip_showsTipAtDrawnPosition() {
        QFETCH(QByteArray, file);
        QFETCH(double, r);
        QFETCH(QString, shown);
        Fixture f;
        f.write("tod.dat", file);
        frmTip tip(f.state, nullptr, [r] { return r; });
        QCOMPARE(tip.lblTipText->text(), shown);
        tip.cmdNextTip->click();
        QCOMPARE(tip.lblTipText->text(), shown);
    }

    // Opening checks the box and so stores "1"; each click stores at once; no tips file says
    // so; OK opens the wizard only with the wizard flag on.
    void tip_flagsAndWizard() {
        Fixture f;
        f.backend.setOption(Registry::ShowTipsAtStartup, "0");
        f.backend.setOption(Registry::ShowStartupWizard, "1");
        QWidget owner;
        frmTip tip(f.state, &owner);
        QCOMPARE(tip.lblTipText->text(),
                 "That the tod.dat file was not found? \r\n\r\nCreate a text file named tod.dat "
                 "using NotePad with 1 tip per line. Then place it in the same directory as the "
                 "application. ");
        tip.chkLoadTipsAtStartup->click();
        QCOMPARE(f.backend.writes,
                 (QStringList{"Show Tips at Startup=1", "Show Tips at Startup=0"}));
        tip.show();
        tip.cmdOK->click();
        QVERIFY(!tip.isVisible());
        QCOMPARE(f.windows.calls, QStringList{"wizard"});
        f.backend.setOption(Registry::ShowStartupWizard, "0");
        frmTip second(f.state, &owner);
        second.cmdOK->click();
        QCOMPARE(f.windows.calls, QStringList{"wizard"});
    }

    // Topic A is shown by Display, then B by a double-click: B's text replaces A's in the
    // same window, at its designed size, or a message says why it cannot.
    void help_displayAThenB_data() {
        QTest::addColumn<QByteArray>("contentFile");  // null: none
        QTest::addColumn<QString>("shown");           // "title: text" in the topic window
        QTest::addColumn<QByteArray>("topicB");       // null: no file
        QTest::addColumn<QString>("message");
        const QByteArray ab("A\r\nB\r\n");
        QTest::newRow("B replaces A") << ab << "B: beta" << QByteArray("be\r\nta\r\n") << "";
        QTest::newRow("blank topic does nothing")
            << QByteArray("A\r\n\r\n") << "A: alpha" << QByteArray("beta") << "";
        QTest::newRow("no topic file") << ab << "B: alpha" << QByteArray() << "Help File not find";
        QTest::newRow("no content.dat")
            << QByteArray() << "" << QByteArray() << "Help Content not find";
    }
    void help_displayAThenB() {
        QFETCH(QByteArray, contentFile);
        QFETCH(QString, shown);
        QFETCH(QByteArray, topicB);
        QFETCH(QString, message);
        Fixture f;
        if (!contentFile.isNull()) {
            f.write("help/content.dat", contentFile);
        }
        f.write("help/help_00.dat", "alpha");
        if (!topicB.isNull()) {
            f.write("help/help_01.dat", topicB);
        }
        f.script(message.isEmpty() ? "" : "Ok");
        frmHelpContent content(f.state);
        content.cmdDisplay->click();  // nothing selected: nothing happens
        QVERIFY(!content.topicWindow());
        QString seen;
        if (content.lstContent->count() > 0) {
            content.lstContent->setCurrentRow(0);
            content.cmdDisplay->click();
            content.lstContent->setCurrentRow(1);
            emit content.lstContent->itemDoubleClicked(content.lstContent->item(1));
            frmHelpPro* topic = content.topicWindow();
            seen = topic->lblTitle->text() + ": " + topic->txtPro->toPlainText();
            topic->show();
            QCOMPARE(topic->size(), QSize(560, 440));
        }
        QCOMPARE(seen, shown);
        QCOMPARE(f.prompts.pendingAnswers(), 0);
        if (!message.isEmpty()) {
            QCOMPARE(f.prompts.calls[0].text, message);
            QCOMPARE(f.prompts.calls[0].title, QStringLiteral("Orvane Editor Help"));
        }
    }

    // OK and Apply write the three boxes, then "Default Link" of the option button chosen,
    // if any; a stored "http" selects none. Cancel after them writes nothing more.
    void options_saving_writesInOrder_data() {
        QTest::addColumn<QString>("defaultLink");  // empty: no option button chosen
        for (const char* text : {"", "FTP", "Gopther", "Telnet", "HTTP", "HTTPS"}) {
            QTest::newRow(*text ? text : "no option button") << QString::fromLatin1(text);
        }
    }
    void options_saving_writesInOrder() {
        QFETCH(QString, defaultLink);
        QStringList writes{"Show Editor at Startup=1", "Show Tips at Startup=0",
                           "Show Startup Wizard=1"};
        if (!defaultLink.isEmpty()) {
            writes << "Default Link=" + defaultLink;
        }
        for (const bool byOk : {false, true}) {
            Fixture f;
            f.backend.setOption("Show Startup Wizard", "1");
            f.backend.setOption("Default Link", "http");
            frmOptions options(f.state);
            options.show();
            QVERIFY(!options.cmdApply->isEnabled());
            options.chkRM->click();
            if (!defaultLink.isEmpty()) {
                options.findChild<QRadioButton*>("opt" + defaultLink)->click();
            }
            QVERIFY(options.cmdApply->isEnabled());
            (byOk ? options.cmdOK : options.cmdApply)->click();
            QCOMPARE(f.backend.writes, writes);
            QCOMPARE(options.isVisible(), !byOk);
            QVERIFY(byOk || !options.cmdApply->isEnabled());
            options.chkShowTip->click();
            options.cmdCancel->click();
            QCOMPARE(f.backend.writes, writes);
        }
    }

    // The dialog shows what is stored when it opens; a refused write is reported and the
    // dialog stays open.
    void options_showsStored_reportsRefusedWrites() {
        Fixture f;
        f.backend.setOption("Show Tips at Startup", "1");
        f.backend.setOption("Default Link", "Telnet");
        frmOptions options(f.state);
        options.show();
        QVERIFY(options.chkShowTip->isChecked() && options.optTelnet->isChecked());
        QVERIFY(!options.chkRM->isChecked() && !options.chkShowWizard->isChecked());
        f.backend.refuseWrites = true;
        f.script("Ok");
        options.cmdOK->click();
        QVERIFY(f.prompts.calls.value(0).text.startsWith(
            "The settings \"Show Editor at Startup\", \"Show Startup Wizard\" could not be"));
        QVERIFY(options.isVisible() && options.cmdApply->isEnabled());
        options.close();
    }

    // The first tool of the list found in a PATH folder is started; none, or a start that
    // fails, gives the message.
    void about_sysInfo_startsFirstToolOnPath_data() {
        QTest::addColumn<QStringList>("installed");  // folder/name
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QString>("started");
        QTest::newRow("none installed") << QStringList{} << true << "";
        QTest::newRow("kinfocenter preferred over an earlier folder's hardinfo")
            << QStringList{"a/hardinfo", "b/kinfocenter"} << true << "b/kinfocenter";
        QTest::newRow("start fails") << QStringList{"a/hardinfo"} << false << "a/hardinfo";
    }
    void about_sysInfo_startsFirstToolOnPath() {
        QFETCH(QStringList, installed);
        QFETCH(bool, starts);
        QFETCH(QString, started);
        Fixture f;
        for (const QString& entry : installed) {
            const QString path = f.write("bin/" + entry, "#!/bin/sh\n");
            QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        }
        f.script(started.isEmpty() || !starts ? "Ok" : "");
        frmAbout about(f.state);
        about.setSearchPath(f.path("bin/a") + ':' + f.path("bin/b"));
        QStringList startedPrograms;
        about.setProgramStarter([&](const QString& program) {
            startedPrograms << program;
            return starts;
        });
        about.cmdSysInfo->click();
        QCOMPARE(startedPrograms.join(""), started.isEmpty() ? "" : f.path("bin/" + started));
        QCOMPARE(f.prompts.pendingAnswers(), 0);
        QVERIFY(f.prompts.calls.isEmpty() ||
                f.prompts.calls[0].text == "System Information Is Unavailable At This Time");
    }

    // After Existing has emptied and switched off the list, each choice fills it again.
    void wizard_choice_fillsList_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QByteArray>("recent");  // recent.dat; null: none
        QTest::addColumn<QStringList>("items");
        QTest::newRow("new: the kinds in order")
            << "optNew" << QByteArray()
            << QStringList{"FTP Link",        "Gopther Link",
                           "RealMedia Link",  "RealMedia Link with Play List Support",
                           "Telnet Link",     "Web Link",
                           "Web ( SSL ) Link"};
        QTest::newRow("recent: oldest first, duplicates and blanks kept")
            << "optRecent" << QByteArray("/a.url\r\n\r\n/a.url")
            << QStringList{"/a.url", "", "/a.url"};
        QTest::newRow("recent: no file") << "optRecent" << QByteArray() << QStringList{};
        QTest::newRow("existing: none") << "optExist" << QByteArray("/a.url\r\n") << QStringList{};
    }
    void wizard_choice_fillsList() {
        QFETCH(QString, choice);
        QFETCH(QByteArray, recent);
        QFETCH(QStringList, items);
        Fixture f;
        if (!recent.isNull()) {
            f.write("recent.dat", recent);
        }
        frmStartup wizard(f.state, nullptr);
        wizard.optExist->click();
        wizard.findChild<QRadioButton*>(choice)->click();
        QCOMPARE(wizard.listItems(), items);
        QCOMPARE(wizard.lstPro->isEnabled(), choice != "optExist");
    }

    // OK with a choice: the editor's address, kind and file afterwards; "play list" when the
    // play-list window was asked for, once the wizard had closed.
    void wizard_ok_data() {
        QTest::addColumn<QString>("choice");  // new:<item>, recent:<row>, existing:<file>
        QTest::addColumn<int>("editorFlag");  // -1: missing
        QTest::addColumn<QString>("after");   // address kind path, or "opened <file>"
        QTest::addColumn<bool>("playList");
        QTest::newRow("new Web SSL") << "new:Web ( SSL ) Link" << 0 << "https:// 1 " << false;
        QTest::newRow("new play list, editor flag 1")
            << "new:RealMedia Link with Play List Support" << 1 << "http:// 2 " << false;
        QTest::newRow("new play list, flag missing")
            << "new:RealMedia Link with Play List Support" << -1 << "http:// 2 " << true;
        QTest::newRow("new, nothing chosen") << "new:" << 0 << Typed + " 1 /old.url" << false;
        QTest::newRow("recent shortcut") << "recent:1" << 0 << "opened /b.url" << false;
        QTest::newRow("recent upper-case .RAM")
            << "recent:2" << 0 << Typed + " 1 /old.url" << false;
        QTest::newRow("recent empty line") << "recent:3" << 0 << Typed + " 1 /old.url" << false;
        QTest::newRow("existing") << "existing:/c.ram" << 0 << "opened /c.ram" << false;
    }
    void wizard_ok() {
        QFETCH(QString, choice);
        QFETCH(int, editorFlag);
        QFETCH(QString, after);
        QFETCH(bool, playList);
        Fixture f;
        if (editorFlag >= 0) {
            f.backend.setOption("Show Editor at Startup", QString::number(editorFlag));
        }
        f.write("recent.dat", "/a.url\r\n/b.url\r\n/C.RAM\r\n\r\n");
        Target target(f);
        frmStartup wizard(f.state, &target);
        wizard.show();
        const QString chosen = choice.section(':', 1);
        if (choice.startsWith("new")) {
            wizard.selectItem(wizard.listItems().indexOf(chosen));
        } else if (choice.startsWith("recent")) {
            wizard.optRecent->click();
            wizard.selectItem(chosen.toInt());
        } else {
            wizard.optExist->click();
            f.prompts.answerOpen(chosen);
        }
        bool closedFirst = false;
        if (playList) {
            connect(&wizard, &QDialog::finished, [&] { closedFirst = f.windows.calls.isEmpty(); });
        }
        wizard.cmdOK->click();
        QVERIFY(!wizard.isVisible());
        QCOMPARE(target.opened.isEmpty() ? QStringLiteral("%1 %2 %3")
                                               .arg(target.address)
                                               .arg(int(target.kind))
                                               .arg(target.doc.path())
                                         : "opened " + target.opened,
                 after);
        QCOMPARE(target.doc.changed(), after.endsWith("/old.url"));
        QCOMPARE(f.windows.calls, playList ? QStringList{"playList modal"} : QStringList{});
        QCOMPARE(closedFirst, playList);
    }
};

QTEST_MAIN(tst_dialogs)
#include "tst_dialogs.moc"
