#include <sys/stat.h>
#include <unistd.h>

#include "FileFilter.h"
#include "Fixture.h"
#include "IniSettingsBackend.h"
#include "QtPrompts.h"
#include "StageTracker.h"

using States = QList<int>;
using Text = std::optional<QString>;

namespace {
const QString kProduct = QStringLiteral("SOFTWARE\\Tessaly\\Orvane Editor");
const QString kOption = kProduct + QStringLiteral("\\Option");
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
        columns<QString, States>("events", "states");
        QTest::newRow("progress hooks repeat while receiving")
            << "RSCCQCTATAAKDX" << States{1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
        QTest::newRow("reused connection starts at the request")
            << "QAKDX" << States{1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
        QTest::newRow("after a failure only the closing pair") << "RFSKFDX" << States{1, 11, 9, 10};
        QTest::newRow("nothing after a cancel") << "RZSKFDX" << States{1};
    }
    void stages() {
        auto [events, states] = fetch<QString, States>("events", "states");
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
    // Missing and empty stay apart, and any text reads back as it was written. A user's file
    // that is not a regular file (a pipe, which QSettings would wait on for good), a folder,
    // or too large is never opened as settings, never replaced, and said with its reason.
    void ini_data() {
        // user: the file's bytes, or "fifo", "folder", "big" made so; write null: nothing
        // written.
        columns<QByteArray, QString, Text, QString>("user", "write", "expected", "reason");
        const auto row = [](const char* tag, const QByteArray& user, const QString& write,
                            const Text& expected, const char* reason = "") {
            QTest::newRow(tag) << user << write << expected << QString(reason);
        };
        row("hand-written groups",
            "[SOFTWARE\\Tessaly\\Orvane Editor\\Option]\nDefault Link=1\n"
            "[SOFTWARE\\Tessaly\\Orvane Editor\\Option\\A]\nB=1\n",
            QString(), Text("1"));
        row("hand-edited list is not a text",
            "[SOFTWARE]\nTessaly\\Orvane%20Editor\\Option\\Default%20Link=Telnet, HTTP\n",
            QString(), Text("FTP"));
        row("empty text, the user's value first", "", "", Text(""));
        const QString nul = QString::fromUtf16(u"a, b; c\0X", 9);
        row("comma, semicolon and NUL", "", nul, nul);
        row("pipe", "fifo", "X", Text("FTP"), "it is not a regular file");
        row("folder", "folder", "X", Text("FTP"), "it is a folder");
        row("over 1 MiB", "big", "X", Text("FTP"), "it is larger than 1 MiB");
    }
    void ini() {
        auto [user, write, expected, reason] =
            fetch<QByteArray, QString, Text, QString>("user", "write", "expected", "reason");
        // The standard places below the folders the environment names.
        Fixture f;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(f.path("user")));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(f.path("system")));
        const QString name = QStringLiteral("user/Tessaly/Orvane Editor.conf");
        const QString file = f.write(name, QByteArray());  // only its folder
        const QByteArray native = QFile::encodeName(file);
        const QByteArray system =
            "[SOFTWARE]\nTessaly\\Orvane%20Editor\\Option\\Default%20Link=FTP\n";
        f.write("system/Tessaly/Orvane Editor.conf", system);
        if (user == "fifo") {
            QCOMPARE(::mkfifo(native, 0600), 0);
        } else if (user == "folder") {
            QVERIFY(QDir().mkpath(file));
        } else {
            const QByteArray big =
                QByteArray(system).replace("FTP", "1") + ';' + QByteArray(1 << 20, 'x') + '\n';
            f.write(name, user == "big" ? big : user);
        }
        struct stat before {};
        QCOMPARE(::stat(native, &before), 0);
        IniSettingsBackend backend;
        // Nothing said of a good file; of a bad one, its name and the reason.
        const auto said = [&] {
            return reason.isEmpty()
                       ? backend.problem().isEmpty()
                       : backend.problem().contains(file) && backend.problem().contains(reason);
        };
        QVERIFY2(said(), qPrintable(backend.problem()));
        if (!write.isNull()) {
            backend.write(kOption, "Default Link", write);
            QVERIFY2(said(), qPrintable(backend.problem()));
        }
        QCOMPARE(IniSettingsBackend().read(kOption, "Default Link"), expected);
        QCOMPARE(backend.read(kProduct, "Default Link"), Text());
        QCOMPARE(f.read("system/Tessaly/Orvane Editor.conf"), system);
        struct stat after {};
        QCOMPARE(::stat(native, &after), 0);
        QVERIFY(reason.isEmpty() ||
                (after.st_mode == before.st_mode && after.st_size == before.st_size));
    }
};

QTEST_MAIN(tst_platform)
#include "tst_platform.moc"
