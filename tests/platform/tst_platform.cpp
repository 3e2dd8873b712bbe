#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <memory>

#include "FileFilter.h"
#include "IniSettingsBackend.h"
#include "QtPrompts.h"
#include "StageTracker.h"
#include "TinyDisk.h"

using States = QList<int>;
using Text = std::optional<QString>;

namespace {
const QString kProduct = QStringLiteral("SOFTWARE\\Tessaly\\Orvane Editor");
const QString kOption = kProduct + QStringLiteral("\\Option");

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
}  // namespace

class tst_platform : public QObject {
    Q_OBJECT
private slots:
    // Filters in the "Desc|*.ext|..." form as Qt's file dialogs take them.
    void nameFilter_twoTypesAndSeveralPatterns() {
        QCOMPARE(toQtNameFilter("Link ( *.url )|*.url|M|*.ram"), "Link ( *.url );;M (*.ram)");
        QCOMPARE(toQtNameFilter("Links|*.url;*.ram"), "Links (*.url *.ram)");
    }

    // A message box closed with Escape or its title-bar button is cancelled.
    void message_escape_isCancel() {
        QTimer escape;
        connect(&escape, &QTimer::timeout, this, [] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        escape.start(10);
        QtPrompts prompts;
        QCOMPARE(prompts.message(nullptr, "Save?", "T", Prompts::Icon::Question,
                                 Prompts::Buttons::YesNoCancel),
                 Prompts::Answer::Cancel);
    }

    // Hook sequences of real exchanges (and the odd ones libcurl produces) come out as the
    // states a user sees: each once, in order, nothing after a cancel. One letter an event,
    // in the order of StageTracker::Event: Resolve, Socket, Connected, reQuest starting,
    // requesT sent, Answer started, oK, Failed, Disconnecting, X disconnected; Z cancels.
    void stages_data() {
        QTest::addColumn<QString>("events");
        QTest::addColumn<States>("states");
        QTest::newRow("progress hooks repeat while receiving")
            << "RSCCQCTATAAKDX" << States{1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
        QTest::newRow("reused connection starts at the request")
            << "QAKDX" << States{1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
        QTest::newRow("after a failure only the closing pair") << "RFSKFDX" << States{1, 11, 9, 10};
        QTest::newRow("nothing after a cancel") << "RZSKFDX" << States{1};
    }
    void stages() {
        QFETCH(QString, events);
        QFETCH(States, states);
        StageTracker tracker;
        States reported;
        for (const QChar letter : events) {
            if (letter == u'Z') {
                tracker.cancel();
            } else {
                reported +=
                    tracker.feed(StageTracker::Event(QStringView(u"RSCQTAKFDX").indexOf(letter)));
            }
        }
        QCOMPARE(reported, states);
        QCOMPARE(tracker.lastState(), states.last());
    }

    // Values come from the user's file, else the machine-wide one, which is never written; a
    // hand-written file with one group per key path reads like the one the program writes.
    // Missing and empty stay apart, and any text reads back as it was written.
    void ini_data() {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QString>("write");  // null: nothing written
        QTest::addColumn<Text>("expected");
        const auto row = [](const char* tag, const QByteArray& user, const QString& write,
                            const Text& expected) {
            QTest::newRow(tag) << user << write << expected;
        };
        row("hand-written groups",
            "[SOFTWARE\\Tessaly\\Orvane Editor\\Option]\nDefault Link=1\n"
            "[SOFTWARE\\Tessaly\\Orvane Editor\\Option\\A]\nB=1\n",
            QString(), Text("1"));
        row("hand-edited list is not a text",
            "[SOFTWARE]\nTessaly\\Orvane%20Editor\\Option\\Default%20Link=Telnet, HTTP\n",
            QString(), Text("FTP"));
        row("empty text, the user's value first", "", "", Text(""));
        row("comma, semicolon and NUL", "", QString::fromUtf16(u"a, b; c\0X", 9),
            QString::fromUtf16(u"a, b; c\0X", 9));
    }
    void ini() {
        QFETCH(QByteArray, user);
        QFETCH(QString, write);
        QFETCH(Text, expected);
        QTemporaryDir dir;
        const QByteArray system =
            "[SOFTWARE]\nTessaly\\Orvane%20Editor\\Option\\Default%20Link=FTP\n";
        QVERIFY(putFile(dir.filePath("system.conf"), system));
        QVERIFY(user.isEmpty() || putFile(dir.filePath("user.conf"), user));
        if (!write.isNull()) {
            IniSettingsBackend writer(dir.filePath("user.conf"), dir.filePath("system.conf"));
            writer.write(kOption, "Default Link", write);
            QCOMPARE(writer.problem(), QString());
        }
        IniSettingsBackend backend(dir.filePath("user.conf"), dir.filePath("system.conf"));
        QCOMPARE(backend.read(kOption, "Default Link"), expected);
        QCOMPARE(backend.read(kProduct, "Default Link"), Text());
        QFile file(dir.filePath("system.conf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), system);
    }

    // The user's file as a pipe (which QSettings would wait on for good), a link to a
    // device, a folder, or too large: never opened as settings, never replaced, and said.
    void ini_badSettingsFile_isLeftAloneAndSaid_data() {
        QTest::addColumn<QString>("make");
        QTest::addColumn<QString>("reason");
        QTest::newRow("pipe") << "fifo"
                              << "it is not a regular file";
        QTest::newRow("link to a device") << "device"
                                          << "it is not a regular file";
        QTest::newRow("folder") << "folder"
                                << "it is a folder";
        QTest::newRow("over 1 MiB") << "big"
                                    << "it is larger than 1 MiB";
    }
    void ini_badSettingsFile_isLeftAloneAndSaid() {
        QFETCH(QString, make);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
        const QString file = dir.filePath("Tessaly/Orvane Editor.conf");
        const QByteArray native = QFile::encodeName(file);
        QVERIFY(QDir().mkpath(dir.filePath("Tessaly")));
        if (make == "fifo") {
            QCOMPARE(::mkfifo(native, 0600), 0);
        } else if (make == "device") {
            if (::geteuid() != 0) {
                QSKIP("making a device node needs root");
            }
            QCOMPARE(::mknod(native + ".dev", S_IFCHR | 0666, makedev(1, 3)), 0);
            QCOMPARE(::symlink(native + ".dev", native), 0);
        } else if (make == "folder") {
            QVERIFY(QDir().mkpath(file));
        } else {
            QVERIFY(putFile(file, "[SOFTWARE]\nTessaly\\Orvane%20Editor\\Version=1.0.0\n;" +
                                      QByteArray(1 << 20, 'x') + '\n'));
        }
        struct stat before;
        QCOMPARE(::stat(native, &before), 0);
        IniSettingsBackend backend;
        QCOMPARE(backend.userFile(), file);
        QVERIFY2(backend.problem().contains(file) && backend.problem().contains(reason),
                 qPrintable(backend.problem()));
        backend.write(kProduct, "Default Link", "FTP");
        QVERIFY2(backend.problem().contains(reason), qPrintable(backend.problem()));
        QCOMPARE(backend.read(kProduct, "Version"), Text());  // the defaults are used
        struct stat after;
        QCOMPARE(::stat(native, &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_size, before.st_size);
    }
};

int main(int argc, char* argv[]) {
    TinyDisk::enterPrivateMounts();  // before Qt starts any thread
    QApplication app(argc, argv);
    tst_platform test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_platform.moc"
