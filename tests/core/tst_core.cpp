#include <QtTest>

#include "EditorDocument.h"
#include "Fixture.h"

namespace {
struct Case {
    QString command;  // ask (before New or Open), saveAs
    bool titled;
    QString answers;
    QString result;   // a SaveResult
    QString written;  // the writes tried, "file:sameFile"
    QString title;
    bool changedAfter = false;
    bool recentBroken = false;  // recent.dat is a folder
};
}  // namespace

class tst_core : public QObject {
    Q_OBJECT
private slots:
    void readBack_data() {
        columns<QString, SettingText, int, bool>("stored", "expected", "number", "flagOn");
        row("missing", QString(), SettingText(), 0, false);
        row("empty is not missing", "", SettingText(""), 0, false);
        row("cut at NUL", QString::fromUtf16(u"1\0X", 3), SettingText("1"), 1, true);
        row("signed number with text after it", " -2abc", SettingText(" -2abc"), -2, false);
    }
    void readBack() {
        auto [stored, expected, number, flagOn] =  // stored null: never written
            fetch<QString, SettingText, int, bool>("stored", "expected", "number", "flagOn");
        Fixture f;
        if (!stored.isNull()) {
            f.registry.setOption(Registry::ShowTipsAtStartup, stored);
        }
        const SettingText value = f.registry.option(Registry::ShowTipsAtStartup);
        QCOMPARE(value, expected);
        QCOMPARE(settingNumber(value), number);
        QCOMPARE(f.registry.flag(Registry::ShowTipsAtStartup), flagOn);
        // The missing marker and the empty text compare alike.
        QCOMPARE(settingEquals(value, QString()), !value || value->isEmpty());
    }

    // The unsaved-changes question and the saves behind it, as both editors use them. The
    // document is titled with "doc" or untitled; the writer fails when the result is Failed.
    void document_data() {
        QTest::addColumn<Case>("c");
        row("Cancel", Case{"ask", true, "Cancel", "Cancelled", "", "B - doc", true});
        row("Yes, titled: saved back", Case{"ask", true, "Yes", "Saved", "doc:1", "B - doc"});
        row("Yes, untitled", Case{"ask", false, "Yes save:new", "Saved", "new:0", "B - new"});
        row("Yes, dialog cancelled", Case{"ask", false, "Yes save:", "Cancelled", "", "B", true});
        row("Yes, save fails", Case{"ask", true, "Yes Ok", "Failed", "doc:1", "B - doc", true});
        row("saved, the recent list cannot take it",
            Case{"ask", false, "Yes save:new Ok", "Saved", "new:0", "B - new", false, true});
        row("save as, cancelled",
            Case{"saveAs", true, "save:", "NothingToSave", "", "B - doc", true});
    }
    void document() {
        QFETCH(Case, c);
        Fixture f;
        EditorDocument doc(f.prompts, nullptr, "B", f.state.recentFile);
        QStringList writes;
        doc.writer = [&](const QString& path, bool sameFile) {
            writes << QFileInfo(path).fileName() + ':' + QString::number(sameFile);
            return c.result == "Failed" ? QStringLiteral("no room") : QString();
        };
        doc.saveFilter = [] { return QStringLiteral("F"); };
        doc.setPath(c.titled ? f.path("doc") : QString());
        doc.setChanged(true);
        f.script(c.answers);
        QVERIFY(!c.recentBroken || QDir().mkpath(f.state.recentFile));
        using M = EditorDocument::SaveMode;
        const auto r = c.command == "ask" ? doc.maybeSave(M::Load) : doc.saveAs(M::Load);
        QCOMPARE(QStringList({"Saved", "NothingToSave", "Cancelled", "Failed"}).at(int(r)),
                 c.result);
        QCOMPARE(writes.join(' '), c.written);
        QCOMPARE(doc.title(), c.title.replace("doc", f.path("doc")).replace("new", f.path("new")));
        QCOMPARE(doc.changed(), c.changedAfter);
        // Only a path chosen in the save dialog and really written joins the recent list.
        QCOMPARE(f.read("recent.dat"), c.written.endsWith(":0") && !c.recentBroken
                                           ? f.path("new").toUtf8() + "\r\n"
                                           : NoFile);
        // Both editors' failures: one icon, and a saved link is said to be saved.
        if (c.answers.endsWith("Ok")) {
            QCOMPARE(f.prompts.calls.last().icon, Prompts::Icon::Warning);
            QCOMPARE(f.prompts.calls.last().text.startsWith("The link was saved to"),
                     c.recentBroken);
        }
        QCOMPARE(f.prompts.pendingAnswers(), 0);
    }
};

QTEST_MAIN(tst_core)
#include "tst_core.moc"
