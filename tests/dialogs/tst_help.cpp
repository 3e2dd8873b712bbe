#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "DialogFixture.h"
#include "frmHelpContent.h"
#include "frmHelpPro.h"

namespace {
const QString HelpTitle = QStringLiteral("Orvane Editor Help");
}

class tst_help : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<frmHelpPro*>(window) || qobject_cast<frmHelpContent*>(window)) {
                window->close();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        checkNoWindowsLeft();
    }

    void content_linesBecomeTopics_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("topics");
        QTest::newRow("three lines") << QByteArray("A\r\nB\r\nC\r\n") << QStringList{"A", "B", "C"};
        QTest::newRow("blank line kept, nothing trimmed")
            << QByteArray(" A \r\n\r\nC") << QStringList{" A ", "", "C"};
        QTest::newRow("CR alone ends, LF alone does not")
            << QByteArray("A\rB\nC\r\n") << QStringList{"A", "B\nC"};
        QTest::newRow("empty file") << QByteArray("") << QStringList{};
    }
    void content_linesBecomeTopics() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, topics);
        DialogFixture f;
        f.writeFile("help/content.dat", file);
        frmHelpContent content(f.state);
        QStringList shown;
        for (int i = 0; i < content.lstContent->count(); ++i) {
            shown << content.lstContent->item(i)->text();
        }
        QCOMPARE(shown, topics);
        QVERIFY(f.prompts.calls.isEmpty());
    }

    void topicFile_nameHasZeroThenIndex_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::newRow("first") << 0 << "help_00.dat";
        QTest::newRow("second") << 1 << "help_01.dat";
        QTest::newRow("tenth") << 9 << "help_09.dat";
        QTest::newRow("eleventh is help_010") << 10 << "help_010.dat";
        QTest::newRow("thirteenth") << 12 << "help_012.dat";
    }
    void topicFile_nameHasZeroThenIndex() {
        QFETCH(int, index);
        QFETCH(QString, name);
        DialogFixture f;
        QStringList topics;
        for (int i = 0; i <= index; ++i) {
            topics << QStringLiteral("Topic %1").arg(i);
        }
        f.writeFile("help/content.dat", topics.join("\r\n").toUtf8() + "\r\n");
        f.writeFile("help/" + name, "text of " + name.toUtf8());
        // The name without the zero, beside it, must not be the one read.
        f.writeFile(QStringLiteral("help/help_%1.dat").arg(index), "wrong file");
        frmHelpContent content(f.state);
        QCOMPARE(frmHelpContent::topicFile(f.state, index), f.dir.filePath("help/" + name));
        content.lstContent->setCurrentRow(index);
        QTest::mouseClick(content.cmdDisplay, Qt::LeftButton);
        frmHelpPro* topic = content.topicWindow();
        QVERIFY(topic != nullptr);
        QVERIFY(topic->isVisible());
        QCOMPARE(topic->lblTitle->text(), topics.at(index));
        QCOMPARE(topic->txtPro->toPlainText(), "text of " + name);
    }

    void display_joinsLinesWithNothingBetween_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF lines run on") << QByteArray("abc\r\ndef\r\n") << "abcdef";
        QTest::newRow("CR lines run on") << QByteArray("abc\rdef") << "abcdef";
        QTest::newRow("LF breaks stay")
            << QByteArray("Title\n\nBody line\n") << "Title\n\nBody line\n";
        QTest::newRow("empty file empties the text") << QByteArray("") << "";
    }
    void display_joinsLinesWithNothingBetween() {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        DialogFixture f;
        f.writeFile("help/content.dat", "Only\r\n");
        f.writeFile("help/help_00.dat", file);
        frmHelpContent content(f.state);
        content.show();
        QVERIFY(QTest::qWaitForWindowExposed(&content));
        // A double-click as the system delivers it: a click, then the double-click.
        const QPoint at = content.lstContent->visualItemRect(content.lstContent->item(0)).center();
        QTest::mouseClick(content.lstContent->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(content.lstContent->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(content.topicWindow() != nullptr);
        QCOMPARE(content.topicWindow()->txtPro->toPlainText(), text);
    }

    void display_withoutTopic_doesNothing_data() {
        QTest::addColumn<int>("row");
        QTest::newRow("nothing selected") << -1;
        QTest::newRow("blank topic selected") << 1;
    }
    void display_withoutTopic_doesNothing() {
        QFETCH(int, row);
        DialogFixture f;
        f.writeFile("help/content.dat", "A\r\n\r\nC\r\n");
        f.writeFile("help/help_01.dat", "should not show");
        frmHelpContent content(f.state);
        content.lstContent->setCurrentRow(row);
        content.cmdDisplay->click();
        QVERIFY(content.topicWindow() == nullptr);
        QVERIFY(f.prompts.calls.isEmpty());
    }

    // Topic A is displayed, then topic B: B's text replaces A's in the same window, or a
    // message says why it cannot (the window then shows B's name over A's text).
    void displayAThenB_data() {
        QTest::addColumn<QString>("contentFile");  // "ok", "missing" or "folder"
        QTest::addColumn<QByteArray>("topicB");    // null: no file
        QTest::addColumn<QString>("message");      // exact, or after "names:" the file it names
        QTest::addColumn<QString>("shown");
        QTest::newRow("B replaces A") << "ok" << QByteArray("beta") << ""
                                      << "beta";
        QTest::newRow("no content.dat") << "missing" << QByteArray() << "Help Content not find"
                                        << "";
        QTest::newRow("content.dat is a folder")
            << "folder" << QByteArray() << "names:help/content.dat"
            << "";
        QTest::newRow("no topic file") << "ok" << QByteArray() << "Help File not find"
                                       << "alpha";
        QTest::newRow("binary topic file")
            << "ok" << QByteArray("\0\0\0", 3) << "names:help/help_01.dat"
            << "alpha";
    }
    void displayAThenB() {
        QFETCH(QString, contentFile);
        QFETCH(QByteArray, topicB);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        DialogFixture f;
        if (contentFile == "ok") {
            f.writeFile("help/content.dat", "A\r\nB\r\n");
        } else if (contentFile == "folder") {
            QDir().mkpath(f.dir.filePath("help/content.dat"));
        }
        f.writeFile("help/help_00.dat", "alpha");
        if (!topicB.isNull()) {
            f.writeFile("help/help_01.dat", topicB);
        }
        if (!message.isEmpty()) {
            f.prompts.answerMessage(Prompts::Answer::Ok);
        }
        frmHelpContent content(f.state);
        if (contentFile == "ok") {
            content.lstContent->setCurrentRow(0);
            content.cmdDisplay->click();
            frmHelpPro* first = content.topicWindow();
            content.lstContent->setCurrentRow(1);
            content.cmdDisplay->click();
            QCOMPARE(content.topicWindow(), first);
            QCOMPARE(first->lblTitle->text(), QStringLiteral("B"));
            QCOMPARE(first->txtPro->toPlainText(), shown);
        } else {
            QCOMPARE(content.lstContent->count(), 0);
        }
        QCOMPARE(f.prompts.calls.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            const ScriptedPrompts::Call& call = f.prompts.calls[0];
            if (message.startsWith("names:")) {
                const QString path = QDir::toNativeSeparators(f.dir.filePath(message.mid(6)));
                QVERIFY2(call.text.contains(path), qPrintable(call.text));
            } else {
                QCOMPARE(call.text, message);
            }
            QCOMPARE(call.title, HelpTitle);
            QCOMPARE(call.buttons, Prompts::Buttons::Ok);
        }
    }

    void cancel_closesContentOnly() {
        DialogFixture f;
        f.writeFile("help/content.dat", "A\r\n");
        f.writeFile("help/help_00.dat", "alpha");
        auto* content = new frmHelpContent(f.state);
        QPointer<frmHelpContent> guard(content);
        content->show();
        content->lstContent->setCurrentRow(0);
        content->cmdDisplay->click();
        QPointer<frmHelpPro> topic = content->topicWindow();
        QTest::keyClick(content, Qt::Key_Escape);
        QTRY_VERIFY(guard.isNull());
        QVERIFY(topic && topic->isVisible());
        topic->close();
        QTRY_VERIFY(topic.isNull());
    }

    void shippedHelp_everyTopicLoadsWithoutMessages() {
        DialogFixture f;
        f.state.dataDir = QStringLiteral(ORVANE_SOURCE_DATA_DIR);
        frmHelpContent content(f.state);
        QVERIFY(f.prompts.calls.isEmpty());
        QVERIFY(content.lstContent->count() >= 10);
        for (int i = 0; i < content.lstContent->count(); ++i) {
            const QString name = content.lstContent->item(i)->text();
            QVERIFY2(!name.trimmed().isEmpty(), "no blank topics");
            content.lstContent->setCurrentRow(i);
            content.cmdDisplay->click();
            QVERIFY2(f.prompts.calls.isEmpty(), qPrintable(name));
            QVERIFY2(content.topicWindow()->txtPro->toPlainText().size() > 200, qPrintable(name));
            // Topics break their lines with LF only; a CR would run two lines together.
            QFile raw(frmHelpContent::topicFile(f.state, i));
            QVERIFY(raw.open(QIODevice::ReadOnly));
            QVERIFY2(!raw.readAll().contains('\r'), qPrintable(name));
        }
    }
};

QTEST_MAIN(tst_help)
#include "tst_help.moc"
