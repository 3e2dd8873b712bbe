#include <QTemporaryDir>
#include <QtTest>

#include "EditorDocument.h"
#include "Fixture.h"
#include "IniSettingsBackend.h"

class tst_core : public QObject {
    Q_OBJECT
private slots:
    void readBack_data() {
        QTest::addColumn<QString>("stored");  // null: never written
        QTest::addColumn<SettingText>("expected");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("flagOn");
        QTest::newRow("missing") << QString() << SettingText() << 0 << false;
        QTest::newRow("empty is not missing") << "" << SettingText("") << 0 << false;
        QTest::newRow("on") << "1" << SettingText("1") << 1 << true;
        QTest::newRow("cut at NUL")
            << QString::fromUtf16(u"1\0X", 3) << SettingText("1") << 1 << true;
        QTest::newRow("signed number with text after it")
            << " -2abc" << SettingText(" -2abc") << -2 << false;
        QTest::newRow("too large a number")
            << "99999999999" << SettingText("99999999999") << 0 << false;
    }
    void readBack() {
        QFETCH(QString, stored);
        QFETCH(SettingText, expected);
        QFETCH(int, number);
        QFETCH(bool, flagOn);
        QTemporaryDir dir;
        IniSettingsBackend backend(dir.filePath("user.conf"), QString());
        Registry registry(backend);
        if (!stored.isNull()) {
            registry.setOption(Registry::ShowTipsAtStartup, stored);
        }
        const SettingText value = registry.option(Registry::ShowTipsAtStartup);
        QCOMPARE(value, expected);
        QCOMPARE(settingNumber(value), number);
        QCOMPARE(registry.flag(Registry::ShowTipsAtStartup), flagOn);
        // The missing marker and the empty text compare alike.
        QCOMPARE(settingEquals(value, QString()), !value || value->isEmpty());
    }

    // The unsaved-changes question and the saves behind it, as both editors use them. The
    // document is titled with "doc" or untitled; the writer fails when the answers end with
    // the Ok of a message.
    void document_data() {
        QTest::addColumn<QString>("command");  // ask (a close), save, saveAs
        QTest::addColumn<bool>("titled");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("result");       // a SaveResult
        QTest::addColumn<QString>("written");  // the writes tried, "file:sameFile"
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("changedAfter");
        using R = EditorDocument::SaveResult;
        const auto row = [](const char* name, const char* command, bool titled, bool changed,
                            const char* answers, R result, const char* written, const char* title,
                            bool changedAfter) {
            QTest::newRow(name) << command << titled << changed << answers << int(result) << written
                                << title << changedAfter;
        };
        row("clean: not asked", "ask", false, false, "", R::NothingToSave, "", "B", false);
        row("Cancel", "ask", true, true, "Cancel", R::Cancelled, "", "B - doc", true);
        row("Yes, titled: back to its file", "ask", true, true, "Yes", R::Saved, "doc:1", "B - doc",
            false);
        row("Yes, untitled: save as", "ask", false, true, "Yes save:new", R::Saved, "new:0",
            "B - new", false);
        row("Yes, closing, dialog cancelled", "ask", false, true, "Yes save:", R::Cancelled, "",
            "B", true);
        row("Yes, save fails", "ask", false, true, "Yes save:new Ok", R::Failed, "new:0", "B",
            true);
        row("save, titled, fails", "save", true, true, "Ok", R::Failed, "doc:1", "B - doc", true);
        row("save as, cancelled", "saveAs", true, true, "save:", R::NothingToSave, "", "B - doc",
            true);
    }
    void document() {
        QFETCH(QString, command);
        QFETCH(bool, titled);
        QFETCH(bool, changed);
        QFETCH(QString, answers);
        QFETCH(int, result);
        QFETCH(QString, written);
        QFETCH(QString, title);
        QFETCH(bool, changedAfter);
        Fixture f;
        EditorDocument doc(f.prompts, nullptr, "B", f.state.recentFile);
        QStringList writes;
        doc.writer = [&](const QString& path, bool sameFile) {
            writes << QFileInfo(path).fileName() + ':' + QString::number(sameFile);
            return answers.endsWith("Ok") ? QStringLiteral("no room") : QString();
        };
        doc.saveFilter = [] { return QStringLiteral("F"); };
        if (titled) {
            doc.setPath(f.path("doc"));
        }
        doc.setChanged(changed);
        f.script(answers);
        using M = EditorDocument::SaveMode;
        const EditorDocument::SaveResult r = command == "ask"    ? doc.maybeSave(M::Unload)
                                             : command == "save" ? doc.save(M::Load)
                                                                 : doc.saveAs(M::Load);
        QCOMPARE(int(r), result);
        QCOMPARE(writes.join(' '), written);
        QCOMPARE(doc.title(), title.replace("doc", f.path("doc")).replace("new", f.path("new")));
        QCOMPARE(doc.changed(), changedAfter);
        // Only a path chosen in the save dialog and really written joins the recent list.
        QCOMPARE(f.read("recent.dat"), written.endsWith(":0") && !changedAfter
                                           ? f.path("new").toUtf8() + "\r\n"
                                           : NoFile);
        if (!f.prompts.calls.isEmpty() && answers.startsWith("Yes")) {
            QCOMPARE(f.prompts.calls.first().text,
                     "You have not yet saved your link. Do you want to save it now ?");
        }
        if (answers.endsWith("Ok")) {  // one icon and one wording for a failed save
            QCOMPARE(f.prompts.calls.last().text, "no room");
            QCOMPARE(f.prompts.calls.last().icon, Prompts::Icon::Warning);
        }
        QCOMPARE(f.prompts.pendingAnswers(), 0);
    }
};

QTEST_MAIN(tst_core)
#include "tst_core.moc"
