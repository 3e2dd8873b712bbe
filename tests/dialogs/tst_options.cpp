#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "DialogFixture.h"
#include "DialogHooks.h"
#include "frmMain.h"
#include "frmOptions.h"

namespace {

using Stored = QMap<QString, QString>;  // option value name -> stored text

void store(DialogFixture& f, const Stored& values) {
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        f.backend.setOption(it.key(), it.value());
    }
}

// The controls as "chkRM chkShowTip chkShowWizard / selected option" for compact rows.
QString controls(const frmOptions& o) {
    QString text = QStringLiteral("%1%2%3/")
                       .arg(int(o.chkRM->isChecked()))
                       .arg(int(o.chkShowTip->isChecked()))
                       .arg(int(o.chkShowWizard->isChecked()));
    for (QRadioButton* b : {o.optFTP, o.optGopther, o.optTelnet, o.optHTTP, o.optHTTPS}) {
        if (b->isChecked()) {
            text += b->text();
        }
    }
    return text;
}

QAbstractButton* control(frmOptions& o, const QString& name) {
    return o.findChild<QAbstractButton*>(name);
}

}  // namespace

class tst_options : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { checkNoWindowsLeft(); }

    void load_showsStoredValues_data() {
        QTest::addColumn<Stored>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing stored") << Stored{} << "000/";
        QTest::newRow("all on, FTP") << Stored{{"Show Editor at Startup", "1"},
                                               {"Show Tips at Startup", "1"},
                                               {"Show Startup Wizard", "1"},
                                               {"Default Link", "FTP"}}
                                     << "111/FTP Link";
        QTest::newRow("each box from its own value") << Stored{{"Show Editor at Startup", "1"},
                                                               {"Show Tips at Startup", "0"},
                                                               {"Default Link", "Gopther"}}
                                                     << "100/Gopther Link";
        QTest::newRow("lower-case http selects nothing")
            << Stored{{"Default Link", "http"}} << "000/";
        QTest::newRow("HTTPS") << Stored{{"Default Link", "HTTPS"}} << "000/Web ( SSL ) Link";
        QTest::newRow("Telnet") << Stored{{"Default Link", "Telnet"}} << "000/Telnet Link";
        QTest::newRow("HTTP") << Stored{{"Default Link", "HTTP"}} << "000/Web Link";
        QTest::newRow("hand-edited 2 is cleared")
            << Stored{{"Show Tips at Startup", "2"}} << "000/";
    }
    void load_showsStoredValues() {
        QFETCH(Stored, stored);
        QFETCH(QString, shown);
        DialogFixture f;
        store(f, stored);
        frmOptions options(f.state);
        QCOMPARE(controls(options), shown);
        QVERIFY(!options.cmdApply->isEnabled());
        QVERIFY(f.backend.writes.isEmpty());
    }

    void click_anyChoice_enablesApply_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"chkRM", "chkShowTip", "chkShowWizard", "optFTP", "optGopther",
                                 "optHTTP", "optHTTPS", "optTelnet"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void click_anyChoice_enablesApply() {
        QFETCH(QString, name);
        DialogFixture f;
        f.backend.setOption("Default Link", "FTP");
        frmOptions options(f.state);
        QAbstractButton* button = control(options, name);
        QVERIFY(button);
        clickBox(button);
        QVERIFY(options.cmdApply->isEnabled());
        QVERIFY(f.backend.writes.isEmpty());
        QTest::mouseClick(options.cmdApply, Qt::LeftButton);
        QVERIFY(!options.cmdApply->isEnabled());
    }

    void saving_writesInOrder_data() {
        QTest::addColumn<QString>("choose");  // option button clicked, or empty
        QTest::addColumn<QStringList>("writes");
        const QStringList boxes{"Show Editor at Startup=1", "Show Tips at Startup=0",
                                "Show Startup Wizard=1"};
        QTest::newRow("no option button: no Default Link") << "" << boxes;
        const std::pair<const char*, const char*> rows[] = {{"optFTP", "FTP"},
                                                            {"optGopther", "Gopther"},
                                                            {"optTelnet", "Telnet"},
                                                            {"optHTTP", "HTTP"},
                                                            {"optHTTPS", "HTTPS"}};
        for (const auto& [button, text] : rows) {
            QTest::newRow(button) << QString::fromLatin1(button)
                                  << boxes + QStringList{QStringLiteral("Default Link=") + text};
        }
    }
    void saving_writesInOrder() {
        QFETCH(QString, choose);
        QFETCH(QStringList, writes);
        for (const char* how : {"apply", "ok"}) {
            DialogFixture f;
            store(f, {{"Show Startup Wizard", "1"}, {"Default Link", "gopher"}});
            frmOptions options(f.state);
            options.show();
            clickBox(options.chkRM);
            if (!choose.isEmpty()) {
                clickBox(control(options, choose));
            }
            QTest::mouseClick(QByteArray(how) == "ok" ? options.cmdOK : options.cmdApply,
                              Qt::LeftButton);
            QCOMPARE(f.backend.writes, writes);
            QCOMPARE(options.isVisible(), QByteArray(how) == "apply");
            options.close();
        }
    }

    void cancel_writesNothing_keepsWhatApplyWrote() {
        DialogFixture f;
        frmOptions options(f.state);
        options.show();
        clickBox(options.chkShowTip);
        QTest::mouseClick(options.cmdApply, Qt::LeftButton);
        const QStringList afterApply = f.backend.writes;
        clickBox(options.chkShowWizard);
        clickBox(options.optHTTPS);
        QTest::mouseClick(options.cmdCancel, Qt::LeftButton);
        QVERIFY(!options.isVisible());
        QCOMPARE(f.backend.writes, afterApply);
        QCOMPARE(f.registry.option("Show Tips at Startup"), SettingText("1"));
        QCOMPARE(f.registry.option("Show Startup Wizard"), SettingText("0"));
        QCOMPARE(f.registry.option("Default Link"), SettingText());
    }

    void writeRefused_isReported_dialogStaysOpen() {
        DialogFixture f;
        frmOptions options(f.state);
        options.show();
        clickBox(options.optTelnet);
        f.backend.refuseWrites = true;
        f.prompts.answerMessage(Prompts::Answer::Ok);
        QTest::mouseClick(options.cmdOK, Qt::LeftButton);
        QCOMPARE(f.prompts.calls.size(), 1);
        const QString text = f.prompts.calls[0].text;
        for (const char* name : {"Show Editor at Startup", "Show Tips at Startup",
                                 "Show Startup Wizard", "Default Link"}) {
            QVERIFY2(text.contains(QLatin1String(name)), qPrintable(text));
        }
        QVERIFY(options.isVisible());
        QVERIFY(options.cmdApply->isEnabled());
        options.close();
    }

    // Through the Properties command: the dialog shows what is stored when it opens, and
    // never touches the editor's address.
    void properties_showsStoredNow_leavesEditorAlone() {
        DialogFixture f;
        installDialogHooks(f.state);
        auto* editor = new frmMain(f.state);
        f.state.mainEditor = editor;
        editor->setAddress("ftp://typed.example/");
        f.state.prepareOptions({0, 0, 0, "HTTP"});
        // The tip window switched tips on after startup.
        f.backend.setOption("Show Tips at Startup", "1");
        f.backend.setOption("Default Link", "Telnet");
        for (int opening = 0; opening < 2; ++opening) {
            QString shown;
            whenModalShown([&shown](QWidget* modal) {
                auto* options = qobject_cast<frmOptions*>(modal);
                shown = controls(*options);
                QTest::mouseClick(options->cmdOK, Qt::LeftButton);
            });
            editor->viewAction(0)->trigger();
            QCOMPARE(shown, QStringLiteral("010/Telnet Link"));
            QCOMPARE(editor->address(), QStringLiteral("ftp://typed.example/"));
            QVERIFY(editor->urlChanged());
        }
        QCOMPARE(f.registry.option("Show Tips at Startup"), SettingText("1"));
        editor->setUrlChanged(false);
        editor->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void layout_framesButtonsAndTabOrder() {
        DialogFixture f;
        frmOptions options(f.state);
        options.show();
        QCOMPARE(options.windowTitle(), QStringLiteral("Properties of Orvane Editor"));
        QVERIFY(options.Frame1->geometry().bottom() < options.Frame2->geometry().top());
        // Two columns: FTP, Gopther, Telnet left; Web, Web ( SSL ) right.
        QCOMPARE(options.optFTP->x(), options.optTelnet->x());
        QCOMPARE(options.optHTTP->x(), options.optHTTPS->x());
        QVERIFY(options.optFTP->x() < options.optHTTP->x());
        QVERIFY(options.optFTP->y() < options.optGopther->y());
        QVERIFY(options.optGopther->y() < options.optTelnet->y());
        QVERIFY(options.chkShowTip->x() < options.chkRM->x());
        QVERIFY(options.chkShowTip->y() < options.chkShowWizard->y());
        QCOMPARE(options.cmdOK->nextInFocusChain(), options.cmdCancel);
        QCOMPARE(options.cmdCancel->nextInFocusChain(), options.cmdApply);
        options.close();
    }
};

QTEST_MAIN(tst_options)
#include "tst_options.moc"
