#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <deque>

#include "DialogFixture.h"
#include "frmTip.h"

namespace {

// Hands out the given numbers in turn, then the last one again.
frmTip::RandomSource sequence(QList<double> numbers) {
    auto queue = std::make_shared<std::deque<double>>(numbers.begin(), numbers.end());
    return [queue] {
        const double r = queue->front();
        if (queue->size() > 1) {
            queue->pop_front();
        }
        return r;
    };
}

const QString NotFound = QStringLiteral(
    "That the tod.dat file was not found? \r\n\r\nCreate a text file named tod.dat using "
    "NotePad with 1 tip per line. Then place it in the same directory as the application. ");

}  // namespace

class tst_tip : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { checkNoWindowsLeft(); }

    void load_tipsFile_showsTipAtDrawnPosition_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<double>("r");
        QTest::addColumn<QStringList>("tips");
        QTest::addColumn<int>("index");

        const QByteArray three("one\r\ntwo\r\nthree\r\n");
        const QStringList threeTips{"one", "two", "three"};
        QTest::newRow("r 0 is the first") << three << 0.0 << threeTips << 1;
        QTest::newRow("just under a third is still the first") << three << 0.3333 << threeTips << 1;
        QTest::newRow("a third is the second") << three << 1.0 / 3.0 + 1e-9 << threeTips << 2;
        QTest::newRow("just under 1 is the last") << three << 0.999999 << threeTips << 3;
        QTest::newRow("a source that returns 1 still picks the last")
            << three << 1.0 << threeTips << 3;
        QTest::newRow("last line without an end")
            << QByteArray("a\r\nb") << 0.9 << QStringList{"a", "b"} << 2;
        QTest::newRow("empty middle line is a tip")
            << QByteArray("a\r\n\r\nc\r\n") << 0.5 << QStringList{"a", "", "c"} << 2;
        QTest::newRow("CR alone ends a line")
            << QByteArray("a\rb\r") << 0.6 << QStringList{"a", "b"} << 2;
        QTest::newRow("LF alone does not")
            << QByteArray("a\nb\nc\n") << 0.2 << QStringList{"a\nb\nc\n"} << 1;
        QTest::newRow("blanks kept")
            << QByteArray("  padded  \r\n") << 0.0 << QStringList{"  padded  "} << 1;
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9\r\n") << 0.0
                               << QStringList{QStringLiteral("caf\u00e9")} << 1;
        QTest::newRow("Latin-1 when not UTF-8")
            << QByteArray("caf\xe9\r\n") << 0.0 << QStringList{QStringLiteral("caf\u00e9")} << 1;
    }
    void load_tipsFile_showsTipAtDrawnPosition() {
        QFETCH(QByteArray, file);
        QFETCH(double, r);
        QFETCH(QStringList, tips);
        QFETCH(int, index);
        DialogFixture f;
        f.writeFile("tod.dat", file);
        frmTip tip(f.state, nullptr, sequence({r}));
        QCOMPARE(tip.tipList(), tips);
        QCOMPARE(tip.tipIndex(), index);
        QCOMPARE(tip.lblTipText->text(), tips.at(index - 1));
        QVERIFY(f.prompts.calls.isEmpty());
    }

    void nextTip_drawsAgain_sameTipCanRepeat() {
        DialogFixture f;
        f.writeFile("tod.dat", "one\r\ntwo\r\nthree\r\n");
        frmTip tip(f.state, nullptr, sequence({0.9, 0.1, 0.1, 0.5}));
        QCOMPARE(tip.lblTipText->text(), QStringLiteral("three"));
        QStringList shown;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(tip.cmdNextTip, Qt::LeftButton);
            shown << tip.lblTipText->text();
        }
        QCOMPARE(shown, (QStringList{"one", "one", "two"}));
    }

    void nextTip_realSource_reachesEveryTip() {
        DialogFixture f;
        f.writeFile("tod.dat", "one\r\ntwo\r\nthree\r\n");
        frmTip tip(f.state);
        QSet<QString> seen{tip.lblTipText->text()};
        for (int i = 0; i < 300 && seen.size() < 3; ++i) {
            tip.cmdNextTip->click();
            seen.insert(tip.lblTipText->text());
        }
        QCOMPARE(seen, (QSet<QString>{"one", "two", "three"}));
    }

    // No tip to show: the label holds the not-found message, a reason naming the file, or
    // nothing, and Next Tip changes nothing.
    void load_withoutTips_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("shown");  // exact, or after "reason:" a part of it
        QTest::newRow("missing file") << "missing" << NotFound;
        QTest::newRow("no program folder") << "no folder" << NotFound;
        QTest::newRow("empty file shows nothing") << "empty" << QString();
        QTest::newRow("a folder named tod.dat") << "folder"
                                                << "reason:it is a folder";
        QTest::newRow("binary file") << "binary"
                                     << "reason:it is not a text file";
    }
    void load_withoutTips() {
        QFETCH(QString, setup);
        QFETCH(QString, shown);
        DialogFixture f;
        const QString path = f.dir.filePath("tod.dat");
        if (setup == "no folder") {
            f.state.dataDir.clear();
        } else if (setup == "empty") {
            f.writeFile("tod.dat", "");
        } else if (setup == "folder") {
            QDir().mkdir(path);
        } else if (setup == "binary") {
            f.writeFile("tod.dat", QByteArray("tip\0\x01\r\n", 7));
        }
        frmTip tip(f.state, nullptr, sequence({0.5}));
        const QString text = tip.lblTipText->text();
        if (shown.startsWith("reason:")) {
            QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
            QVERIFY2(text.contains(shown.mid(7)), qPrintable(text));
        } else {
            QCOMPARE(text, shown);
        }
        QVERIFY(tip.tipList().isEmpty());
        tip.cmdNextTip->click();
        QCOMPARE(tip.lblTipText->text(), text);
    }

    void checkBox_storesFlagOnEveryChange_data() {
        QTest::addColumn<QString>("before");  // null: missing
        QTest::newRow("missing") << QString();
        QTest::newRow("off") << "0";
        QTest::newRow("on") << "1";
    }
    void checkBox_storesFlagOnEveryChange() {
        QFETCH(QString, before);
        DialogFixture f;
        if (!before.isNull()) {
            f.backend.setOption(Registry::ShowTipsAtStartup, before);
        }
        frmTip tip(f.state, nullptr, sequence({0.0}));
        QVERIFY(tip.chkLoadTipsAtStartup->isChecked());
        QCOMPARE(f.registry.option(Registry::ShowTipsAtStartup), SettingText("1"));

        clickBox(tip.chkLoadTipsAtStartup);
        QCOMPARE(f.registry.option(Registry::ShowTipsAtStartup), SettingText("0"));
        tip.chkLoadTipsAtStartup->setFocus();
        QTest::keyClick(tip.chkLoadTipsAtStartup, Qt::Key_Space);
        QCOMPARE(f.registry.option(Registry::ShowTipsAtStartup), SettingText("1"));
        QCOMPARE(f.backend.writes, (QStringList{"Show Tips at Startup=1", "Show Tips at Startup=0",
                                                "Show Tips at Startup=1"}));
    }

    void close_opensWizardOnlyByOkWithFlagOn_data() {
        QTest::addColumn<QString>("wizardFlag");  // null: missing
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("wizard");
        QTest::newRow("OK, flag 1") << "1"
                                    << "ok" << true;
        QTest::newRow("Enter, flag 1") << "1"
                                       << "enter" << true;
        QTest::newRow("Escape answers like OK") << "1"
                                                << "escape" << true;
        QTest::newRow("close box, flag 1") << "1"
                                           << "close" << false;
        QTest::newRow("OK, flag 0") << "0"
                                    << "ok" << false;
        QTest::newRow("OK, flag missing") << QString() << "ok" << false;
        QTest::newRow("OK, flag not exactly 1") << " 1"
                                                << "ok" << false;
    }
    void close_opensWizardOnlyByOkWithFlagOn() {
        QFETCH(QString, wizardFlag);
        QFETCH(QString, how);
        QFETCH(bool, wizard);
        DialogFixture f;
        f.writeFile("tod.dat", "one\r\n");
        if (!wizardFlag.isNull()) {
            f.backend.setOption(Registry::ShowStartupWizard, wizardFlag);
        }
        QWidget owner;
        auto* tip = new frmTip(f.state, &owner, sequence({0.0}));
        QPointer<frmTip> guard(tip);
        QList<QWidget*> wizardParents;
        bool tipVisibleAtWizard = true;
        f.state.showWizard = [&](QWidget* parent) {
            wizardParents << parent;
            tipVisibleAtWizard = guard && guard->isVisible();
        };
        tip->setAttribute(Qt::WA_DeleteOnClose);
        whenModalShown([how](QWidget* modal) {
            auto* shown = qobject_cast<frmTip*>(modal);
            if (how == "ok") {
                QTest::mouseClick(shown->cmdOK, Qt::LeftButton);
            } else if (how == "enter") {
                QTest::keyClick(shown, Qt::Key_Return);
            } else if (how == "escape") {
                QTest::keyClick(shown, Qt::Key_Escape);
            } else {
                shown->close();
            }
        });
        tip->exec();
        QVERIFY(guard.isNull());
        QCOMPARE(wizardParents.size(), wizard ? 1 : 0);
        if (wizard) {
            QCOMPARE(wizardParents.first(), &owner);
            QVERIFY(!tipVisibleAtWizard);
        }
    }

    void shippedTips_loadWithoutMessages() {
        DialogFixture f;
        f.state.dataDir = QStringLiteral(ORVANE_SOURCE_DATA_DIR);
        frmTip tip(f.state, nullptr, sequence({0.0}));
        QVERIFY(f.prompts.calls.isEmpty());
        QVERIFY2(tip.tipList().size() >= 20, "at least 20 tips");
        for (const QString& line : tip.tipList()) {
            QVERIFY2(!line.trimmed().isEmpty(), "no blank tips");
            QVERIFY2(!line.contains(QLatin1Char('\n')), "one tip per CR LF line");
        }
    }
};

QTEST_MAIN(tst_tip)
#include "tst_tip.moc"
