#include "FakeTransfer.h"
#include "Fixture.h"
#include "OrvaneE_Class.h"
#include "WebPages.h"
#include "frmCheck.h"
#include "frmHelpContent.h"
#include "frmHelpPro.h"
#include "frmMain.h"
#include "frmOptions.h"
#include "frmRMMulti.h"
#include "frmSplash.h"
#include "frmStartup.h"
#include "frmTip.h"

namespace {

const QString UpToDate = QStringLiteral("You have get the Newest Version");
const QString Upgrade = QStringLiteral("Click Upgrade to get the upgrade...");
const QString Failed = QStringLiteral("The newest version could not be checked.\n");
const QString Cancel = QStringLiteral("<cancel>");

// The program's entry routine over the fixture's settings and prompts, with `flags` (tips,
// editor, wizard: "0" or "1") stored before it runs Main; the splash ends at once.
std::unique_ptr<OrvaneE_Class> start(Fixture& f, const QString& flags) {
    const QString names[] = {Registry::ShowTipsAtStartup, Registry::ShowEditorAtStartup,
                             Registry::ShowStartupWizard};
    for (int i = 0; i < 3; ++i) {
        f.backend.setOption(names[i], flags.mid(i, 1));
    }
    f.write("tod.dat", "A tip.\r\n");
    auto entry = std::make_unique<OrvaneE_Class>(f.prompts, f.shell, f.backend, 0);
    entry->state().dataDir = f.dir.path();
    entry->state().recentFile = f.state.recentFile;
    entry->Main();
    return entry;
}

}  // namespace

// The tip window, help windows, options dialog, startup wizard, update check and the
// program's start.
class tst_dialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() {
        checkCleanEnd();
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
    }

    // The tip shown from tod.dat (null: none) for a drawn number r, before and after Next
    // (r stays the same).
    void tip_showsTipAtDrawnPosition_data() {
        columns<QByteArray, double, QString>("file", "r", "shown");
        const QByteArray three("one\r\ntwo\r\nthree\r\n");
        row("just under a third is the first", three, 0.3333, "one");
        row("a source that returns 1 picks the last", three, 1.0, "three");
        row("empty middle line is a tip", QByteArray("a\r\n\r\nc"), 0.5, "");
        row("binary file: the reason", QByteArray("a\0b\r\n", 5), 0.5,
            "The file \"tod.dat\" could not be read: it holds binary data, not lines of text.");
        row("no file", QByteArray(), 0.5,
            "That the tod.dat file was not found? \r\n\r\nCreate a text "
            "file named tod.dat using NotePad with 1 tip per line. Then "
            "place it in the same directory as the application. ");
    }
    void tip_showsTipAtDrawnPosition() {
        auto [file, r, shown] = fetch<QByteArray, double, QString>("file", "r", "shown");
        Fixture f;
        f.write("tod.dat", file);
        frmTip tip(f.state, nullptr, [r] { return r; });
        QCOMPARE(tip.lblTipText->text().replace(f.path("tod.dat"), "tod.dat"), shown);
        tip.cmdNextTip->click();
        QCOMPARE(tip.lblTipText->text().replace(f.path("tod.dat"), "tod.dat"), shown);
    }

    // Topic A is shown by Display, then B by a double-click: B's text replaces A's in the
    // same window, at its designed size, or a message says why it cannot. Shown: "title:
    // text" in the topic window; a null file: none.
    void help_displayAThenB_data() {
        columns<QByteArray, QString, QByteArray, QString>("contentFile", "shown", "topicB",
                                                          "message");
        const QByteArray ab("A\r\nB\r\n");
        row("B replaces A", ab, "B: beta", QByteArray("be\r\nta\r\n"), "");
        row("blank topic does nothing", QByteArray("A\r\n\r\n"), "A: alpha", QByteArray("beta"),
            "");
        row("no topic file", ab, "B: alpha", QByteArray(), "Help File not find");
        row("no content.dat", QByteArray(), "", QByteArray(), "Help Content not find");
    }
    void help_displayAThenB() {
        auto [contentFile, shown, topicB, message] =
            fetch<QByteArray, QString, QByteArray, QString>("contentFile", "shown", "topicB",
                                                            "message");
        Fixture f;
        f.write("help/content.dat", contentFile);
        f.write("help/help_00.dat", "alpha");
        f.write("help/help_01.dat", topicB);
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
            const std::unique_ptr<frmHelpPro> topic(content.topicWindow());
            seen = topic->lblTitle->text() + ": " + topic->txtPro->toPlainText();
            QCOMPARE(topic->size(), QSize(560, 440));
        }
        QCOMPARE(seen, shown);
        QCOMPARE(f.prompts.pendingAnswers(), 0);
        QCOMPARE(f.prompts.calls.value(0).text + '/' + f.prompts.calls.value(0).title,
                 message.isEmpty() ? "/" : message + "/Orvane Editor Help");
    }

    // OK and Apply write the three boxes, then "Default Link" of the option button chosen,
    // if any (a stored "http" selects none); Cancel after them writes nothing more. Settings
    // that do not stick are named, and the dialog stays open to try again.
    void options_data() {
        columns<QString, QString>("button", "defaultLink");  // empty: no option button chosen
        for (const char* button : {"OK", "Apply"}) {
            for (const char* text : {"", "FTP", "Gopther", "Telnet", "HTTP", "HTTPS"}) {
                QTest::addRow("%s, %s", button, *text ? text : "none") << button << text;
            }
        }
        row("OK, writes refused", "refused", "");
    }
    void options() {
        auto [button, defaultLink] = fetch<QString, QString>("button", "defaultLink");
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
        f.backend.refuseWrites = button == "refused";
        f.script(button == "refused" ? "Ok" : "");
        (button == "Apply" ? options.cmdApply : options.cmdOK)->click();
        const QString writes =
            "Show Editor at Startup=1, Show Tips at Startup=0, Show Startup Wizard=1" +
            (defaultLink.isEmpty() ? "" : ", Default Link=" + defaultLink);
        QCOMPARE(f.backend.writes.join(", "), writes);
        QCOMPARE(options.isVisible(), button != "OK");
        QVERIFY(button == "OK" || options.cmdApply->isEnabled() == (button == "refused"));
        QCOMPARE(f.prompts.calls.value(0).text.section(" could", 0, 0),
                 button == "refused" ? "The settings \"Show Editor at Startup\", \"Show Tips at "
                                       "Startup\""
                                     : "");
        options.chkShowTip->click();
        options.cmdCancel->click();
        QCOMPARE(f.backend.writes.join(", "), writes);
    }

    // After Existing has emptied and switched off the list, the choice fills it again
    // (recent.dat oldest first, blanks and duplicates kept); OK with an item fills the
    // editor or opens its file, and asks for the play-list window once the wizard has closed.
    // Choice: new:<item>, recent:<row>, existing:<file>; editorFlag: "Show Editor at
    // Startup" (null: missing); after: the editor's "address | kind | file | changed".
    void wizard_data() {
        columns<QString, QString, QString, bool>("choice", "editorFlag", "after", "playList");
        const QString kept = QStringLiteral("typed |  | /old.url | changed");
        const char* playList = "new:RealMedia Link with Play List Support";
        row("new Web SSL", "new:Web ( SSL ) Link", "0", "https:// | Web |  | clean", false);
        row("new play list, editor flag 1", playList, "1", "http:// | RM |  | clean", false);
        row("new play list, flag missing", playList, QString(), "http:// | RM |  | clean", true);
        row("new, nothing chosen", "new:", "0", kept, false);
        row("recent shortcut", "recent:1", "0", "http://b/ | Web | /b.url | clean", false);
        row("recent upper-case .RAM", "recent:2", "0", kept, false);
        row("recent empty line", "recent:3", "0", kept, false);
        row("existing", "existing:c.ram", "0", "rtsp://c/ | RM | /c.ram | clean", false);
    }
    void wizard() {
        auto [choice, editorFlag, after, playList] =
            fetch<QString, QString, QString, bool>("choice", "editorFlag", "after", "playList");
        Fixture f;
        if (!editorFlag.isNull()) {
            f.backend.setOption("Show Editor at Startup", editorFlag);
        }
        f.write("b.url", "[InternetShortcut]\r\nURL=http://b/\r\n");
        f.write("c.ram", "rtsp://c/\r\n");
        f.write(
            "recent.dat",
            QString("%1/a.url\r\n%1/b.url\r\n%1/C.RAM\r\n\r\n%1/a.url").arg(f.dir.path()).toUtf8());
        frmMain target(f.state);  // titled old.url, holding a typed address not saved
        target.setAddress("typed");
        target.document().setPath(f.path("old.url"));
        target.setUrlChanged(true);
        frmStartup wizard(f.state, &target);
        wizard.show();
        wizard.optExist->click();
        QVERIFY(wizard.listItems().isEmpty() && !wizard.lstPro->isEnabled());
        const QString chosen = choice.section(':', 1);
        if (choice.startsWith("new")) {
            wizard.optNew->click();
            QCOMPARE(wizard.listItems(),
                     (QStringList{"FTP Link", "Gopther Link", "RealMedia Link",
                                  "RealMedia Link with Play List Support", "Telnet Link",
                                  "Web Link", "Web ( SSL ) Link"}));
            wizard.selectItem(wizard.listItems().indexOf(chosen));
        } else if (choice.startsWith("recent")) {
            wizard.optRecent->click();
            QCOMPARE(wizard.listItems().join('|').remove(f.dir.path()),
                     "/a.url|/b.url|/C.RAM||/a.url");
            wizard.selectItem(chosen.toInt());
        } else {
            f.prompts.answerOpen(f.path(chosen));
        }
        QCOMPARE(wizard.lstPro->isEnabled(), !choice.startsWith("existing"));
        bool closedFirst = false;
        connect(&wizard, &QDialog::finished, [&] { closedFirst = f.windows.calls.isEmpty(); });
        wizard.cmdOK->click();
        QVERIFY(!wizard.isVisible() && closedFirst);
        QCOMPARE(QStringList({target.address(), linkKindText(target.linkKind()),
                              target.document().path().remove(f.dir.path()),
                              target.urlChanged() ? "changed" : "clean"})
                     .join(" | "),
                 after);
        QCOMPARE(f.windows.calls, playList ? QStringList{"playList modal"} : QStringList{});
    }
    // The update check's answers: the fetched bytes (null: the fetch failed).
    void check_data() {
        columns<QString, QString, QString>("running", "lblState", "answer");
        row("no line end keeps the last digit", "1.0.0", UpToDate, "1.0.0");
        row("CR LF and blanks dropped", "1.0.0", UpToDate, "1.0.0 \t\r\n");
        row("numbers: 10 is newer than 9", "1.0.9", Upgrade, "1.0.10\n");
        row("missing part counts as 0", "1.0", UpToDate, "1.0.0\n");
        row("empty but for a line end", "1.0.0", Failed + "The answer is empty.", "\r\n");
        row("text after the number", "1.0.0", Failed + "The answer is not a version number.",
            "1.0.1 <html>\n");
        row("too long", "1.0.0", Failed + "The answer is larger than 65536 bytes.",
            QString(64 * 1024 + 1, u'1'));
        row("failed fetch", "1.0.0", Failed + "HTTP 404 Not Found", QString());
        row("cancelled", "1.0.0", Failed + "The check was cancelled.", Cancel);
    }

    // Start, then the answer (or Cancel); then a click does what the caption says: close,
    // open the upgrade page, or start again.
    void check() {
        auto [running, lblState, answer] =
            fetch<QString, QString, QString>("running", "lblState", "answer");
        Fixture f;
        QCoreApplication::setApplicationVersion(running);
        FakeTransfer* fake = nullptr;
        f.state.makeTransfer = [&fake] {
            return std::unique_ptr<InternetTransfer>(fake = new FakeTransfer);
        };
        frmCheck check(f.state, nullptr);
        check.show();
        QCOMPARE(check.txtYVer->text(), "Your Version : " + running);
        QTest::keyClick(check.cmdButton, Qt::Key_Space);
        QCOMPARE(check.cmdButton->text() + ' ' + check.lblState->text(),
                 QStringLiteral("&Cancel Checking the Newest Version..."));
        QCOMPARE(fake->openedUrls, QStringList{WebPages::newestVersion()});
        QCOMPARE(fake->bodyLimitsUsed, QList<qint64>{64 * 1024});
        QVERIFY(fake->keepBody());
        if (answer == Cancel) {
            check.cmdButton->click();
        } else {  // no answer: the fetch failed for the reason after Failed
            fake->finish(answer.toLatin1(), answer.isNull() ? lblState.mid(Failed.size()) : "");
        }
        QCOMPARE(fake->cancelCount, int(answer == Cancel));
        QCOMPARE(check.lblState->text(), lblState);
        const bool found = !lblState.startsWith(Failed);
        QCOMPARE(check.txtNewVer->text(),
                 found ? "Newest Version : " + answer.trimmed() : "Newest Version :");
        const QString caption = !found ? "&Start" : lblState == Upgrade ? "&Upgrade" : "&OK";
        QCOMPARE(check.cmdButton->text(), caption);
        QTest::mouseClick(check.cmdButton, Qt::LeftButton);
        QCOMPARE(check.isVisible(), caption != "&OK");
        QCOMPARE(f.shell.opened.size(), caption == "&Upgrade" ? 1 : 0);
        QCOMPARE(fake->openedUrls.size(), caption == "&Start" ? 2 : 1);
    }

    // Main over the stored "Default Link" and "Version" ("-": missing), which it leaves as
    // `settings` says after the ">": "Default Link" is matched exactly and replaced when
    // unknown, "Version" written only when missing or empty. The splash shows; its tick shows
    // the main editor and the windows by the three flags, New Link in a second window the
    // wizard, in the order they open and close. The tip is closed by OK or its close box; the
    // wizard cancelled or given the play list, which must then come up in front and usable:
    // an entry is typed, added, and the window closed.
    void startup_data() {
        columns<QString, QString, bool, bool, bool, QString>("flags", "settings", "tipByOk",
                                                             "pickPlayList", "second", "events");
        const QString usable = QStringLiteral("play list usable: http://x");
        row("wizard alone opens nothing", "001", "- - > HTTP 1.0.0", true, false, false, "");
        row("editor only: play list waited for", "011", "http 1.0.0 > HTTP 1.0.0", true, false,
            false, usable);
        row("all three", "111", "HTTP 0.9.7 > HTTP 0.9.7", true, false, false,
            "play list behind a dialog, tip, wizard over the editor, wizard closed, tip closed");
        row("tip closed by its close box opens no wizard", "101", "HTTP 1.0.0 > HTTP 1.0.0", false,
            false, false, "tip, tip closed");
        row("wizard's play list at startup", "101", "Gopher 1.0.0 > HTTP 1.0.0", true, true, false,
            "tip, wizard over the editor, " + usable + ", wizard closed, tip closed");
        row("wizard's play list from a second window", "000", "HTTPS 2 > HTTPS 2", true, true, true,
            "wizard over another window, " + usable + ", wizard closed");
    }
    void startup() {
        auto [flags, settings, tipByOk, pickPlayList, second, events] =
            fetch<QString, QString, bool, bool, bool, QString>("flags", "settings", "tipByOk",
                                                               "pickPlayList", "second", "events");
        Fixture f;
        const QStringList before = settings.section(" > ", 0, 0).split(' ');
        if (before[0] != "-") {
            f.backend.setOption(Registry::DefaultLink, before[0]);
        }
        if (before[1] != "-") {
            f.backend.write(Registry::ProductKey, Registry::Version, before[1]);
        }
        auto entry = start(f, flags);
        frmMain* main = entry->windows().mainEditor();
        QVERIFY(main && !main->isVisible() && entry->splash()->isVisible());
        QCOMPARE(f.backend.read(Registry::OptionKey, Registry::DefaultLink).value_or("") + ' ' +
                     f.backend.read(Registry::ProductKey, Registry::Version).value_or(""),
                 settings.section(" > ", 1));
        QStringList seen;
        QPointer<frmTip> tip;
        QTimer watcher;
        watcher.setInterval(5);
        connect(&watcher, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            frmRMMulti* playList = entry->windows().playLists().window();
            if (playList && playList->isVisible() && !seen.join(' ').contains("play list")) {
                if (modal || !playList->isEnabled()) {
                    seen << "play list behind a dialog";
                    return;
                }
                // A window held behind another would take no keys.
                QTest::keyClicks(playList->txtURL, "x");
                playList->cmdAdd->click();
                f.prompts.answerMessage(Prompts::Answer::No);
                seen << "play list usable: " + playList->entries().join(' ');
                playList->fileAction(7)->trigger();
            } else if (auto* shownTip = qobject_cast<frmTip*>(modal); shownTip && shownTip != tip) {
                tip = shownTip;
                seen << "tip";
                connect(shownTip, &QObject::destroyed, [&seen] { seen << "tip closed"; });
                QTimer::singleShot(0, shownTip, [shownTip, tipByOk] {
                    tipByOk ? shownTip->cmdOK->click() : (void)shownTip->close();
                });
            } else if (auto* wizard = qobject_cast<frmStartup*>(modal);
                       wizard && !seen.join(' ').contains("wizard")) {
                seen << QStringLiteral("wizard over ") +
                            (wizard->parentWidget() == main ? "the editor" : "another window");
                connect(wizard, &QObject::destroyed, [&seen] { seen << "wizard closed"; });
                wizard->selectItem(
                    wizard->listItems().indexOf("RealMedia Link with Play List Support"));
                QTimer::singleShot(0, wizard, [wizard, pickPlayList] {
                    (pickPlayList ? wizard->cmdOK : wizard->cmdCancel)->click();
                });
            }
        });
        watcher.start();
        QTRY_VERIFY(main->isVisible());  // the splash's delay is 0 ms
        QVERIFY(entry->splash() == nullptr || !entry->splash()->isVisible());
        QCOMPARE(main->noForm(), 0);
        frmMain* target = main;
        if (second) {  // New Link in a second window
            main->newAction(1)->trigger();
            target = static_cast<frmMain*>(entry->state().editorWindows().last());
            target->newAction(0)->trigger();
        }
        watcher.stop();
        QCOMPARE(seen.join(", "), events);
        QCOMPARE(main->isEnabled(), !events.contains("play list behind a dialog"));
        // The wizard fills the window that asked for it; cancelled, it leaves the editor as
        // startup made it.
        QCOMPARE(target->address() + ' ' + linkKindText(target->linkKind()),
                 pickPlayList ? "http:// RM" : "http:// Web");
        QVERIFY(!target->urlChanged());
        QCOMPARE(f.prompts.pendingAnswers(), 0);
        entry.reset();
    }
};

QTEST_MAIN(tst_dialogs)
#include "tst_dialogs.moc"
