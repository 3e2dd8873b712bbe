#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <memory>

#include "FileFilter.h"
#include "IniSettingsBackend.h"
#include "ReadOnlyPath.h"

class tst_platform : public QObject {
    Q_OBJECT
private slots:
    void nameFilter_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two shortcut types")
            << "Internet Link ( *.url )|*.url|RealMedia Link ( *.ram )|*.ram"
            << "Internet Link ( *.url );;RealMedia Link ( *.ram )";
        QTest::newRow("all files") << "All Files ( *.* )|*.*"
                                   << "All Files ( *.* )";
        QTest::newRow("misspelt description keeps its text") << "RaelMedia Link ( *.ram )|*.ram"
                                                             << "RaelMedia Link ( *.ram )";
        QTest::newRow("description naming other patterns") << "Links ( *.lnk )|*.url"
                                                           << "Links ( *.lnk ) (*.url)";
        QTest::newRow("several patterns") << "Links|*.url;*.ram"
                                          << "Links (*.url *.ram)";
        QTest::newRow("description without pattern") << "Anything"
                                                     << "Anything (*)";
    }
    void nameFilter() {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(toQtNameFilter(filter), expected);
    }

    // A file written by hand, one group per key path, reads like the one the program writes.
    void ini_handWrittenGroupsRead() {
        QTemporaryDir dir;
        QFile file(dir.filePath("user.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "[SOFTWARE\\Tessaly\\Orvane Editor]\nVersion=1.0.0\n"
            "[SOFTWARE\\Tessaly\\Orvane Editor\\Option]\nDefault Link=FTP\n");
        file.close();
        IniSettingsBackend backend(file.fileName(), QString());
        QCOMPARE(backend.read("SOFTWARE\\Tessaly\\Orvane Editor", "Version"), QString("1.0.0"));
        QCOMPARE(backend.read("SOFTWARE\\Tessaly\\Orvane Editor\\Option", "Default Link"),
                 QString("FTP"));
    }

    void ini_missingEmptyAndStoredTextsStayApart_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("empty text") << QString("");
        QTest::newRow("plain") << QString("HTTP");
        QTest::newRow("comma and semicolon") << QString("a, b; c");
        QTest::newRow("backslashes") << QString("C:\\Program Files\\x");
        QTest::newRow("embedded NUL") << QString::fromUtf16(u"HTTP\0X", 6);
        QTest::newRow("non-ASCII") << QString::fromUtf8(
            "Schl\xc3\xbc"
            "ssel");
        QTest::newRow("leading blanks") << QString("  1");
    }
    void ini_missingEmptyAndStoredTextsStayApart() {
        QFETCH(QString, stored);
        QTemporaryDir dir;
        IniSettingsBackend backend(dir.filePath("user.conf"), dir.filePath("system.conf"));
        const QString key = "SOFTWARE\\Tessaly\\Orvane Editor\\Option";
        QCOMPARE(backend.read(key, "Default Link"), std::nullopt);
        backend.write(key, "Default Link", stored);
        const auto back = backend.read(key, "Default Link");
        QVERIFY(back.has_value());
        QCOMPARE(*back, stored);
        // A second backend on the same file sees it: nothing is cached.
        IniSettingsBackend other(dir.filePath("user.conf"), QString());
        QCOMPARE(other.read(key, "Default Link"), back);
        QCOMPARE(other.read(key, "Version"), std::nullopt);
        QCOMPARE(other.read("SOFTWARE\\Tessaly\\Orvane Editor", "Default Link"), std::nullopt);
    }

    void ini_systemFileIsTheFallbackAndIsNeverWritten() {
        QTemporaryDir dir;
        const QString system = dir.filePath("system.conf");
        {
            QFile f(system);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(
                "[SOFTWARE]\nTessaly\\Orvane%20Editor\\Option\\Default%20Link=FTP\n"
                "Tessaly\\Orvane%20Editor\\Option\\Show%20Tips%20at%20Startup=1\n");
        }
        const QByteArray before = [&] {
            QFile f(system);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        IniSettingsBackend backend(dir.filePath("user.conf"), system);
        const QString key = "SOFTWARE\\Tessaly\\Orvane Editor\\Option";
        QCOMPARE(backend.read(key, "Default Link"), QString("FTP"));
        backend.write(key, "Default Link", "Telnet");
        QCOMPARE(backend.read(key, "Default Link"), QString("Telnet"));
        QCOMPARE(backend.read(key, "Show Tips at Startup"), QString("1"));
        QFile f(system);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void ini_handEditedListIsNotAText() {
        QTemporaryDir dir;
        const QString user = dir.filePath("user.conf");
        QFile f(user);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[SOFTWARE]\nTessaly\\Orvane%20Editor\\Option\\Default%20Link=FTP, HTTP\n");
        f.close();
        IniSettingsBackend backend(user, QString());
        QCOMPARE(backend.read("SOFTWARE\\Tessaly\\Orvane Editor\\Option", "Default Link"),
                 std::nullopt);
    }

    // The user's file as a pipe (which QSettings would wait on for good), a link to a
    // device, a folder, or on a full disk: never opened as settings, never replaced, and said.
    void ini_badSettingsFile_isLeftAloneAndSaid_data() {
        QTest::addColumn<QString>("make");
        QTest::addColumn<QString>("reason");
        QTest::newRow("pipe") << "fifo"
                              << "it is not a regular file";
        QTest::newRow("link to a device") << "device"
                                          << "it is not a regular file";
        QTest::newRow("folder") << "folder"
                                << "it is a folder";
        QTest::newRow("full disk") << "full"
                                   << "no space left on device";
    }
    void ini_badSettingsFile_isLeftAloneAndSaid() {
        QFETCH(QString, make);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
        const QString folder = dir.filePath("Tessaly");
        const QString file = folder + "/Orvane Editor.conf";
        const QByteArray native = QFile::encodeName(file);
        QVERIFY(QDir().mkpath(folder));
        std::unique_ptr<TinyDisk> disk;
        const QByteArray stored = "[SOFTWARE]\nTessaly\\Orvane%20Editor\\Version=1.0.0\n";
        if (make == "fifo") {
            QCOMPARE(::mkfifo(native, 0600), 0);
        } else if (make == "device") {
            QCOMPARE(::mknod(native + ".dev", S_IFCHR | 0666, makedev(1, 3)), 0);
            QCOMPARE(::symlink(native + ".dev", native), 0);
        } else if (make == "folder") {
            QVERIFY(QDir().mkpath(file));
        } else {
            disk = std::make_unique<TinyDisk>(folder, "64k");
            if (!disk->error().isEmpty()) {
                QSKIP(qPrintable(disk->error()));
            }
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(stored) == stored.size());
            f.close();
            QVERIFY(disk->fill());
        }
        struct stat before;
        QCOMPARE(::stat(native, &before), 0);
        IniSettingsBackend backend;
        QCOMPARE(backend.userFile(), file);
        QCOMPARE(backend.problem().isEmpty(), make == "full");
        backend.write("SOFTWARE\\Tessaly\\Orvane Editor", "Default Link", "FTP");
        QVERIFY2(backend.problem().contains(file) && backend.problem().contains(reason),
                 qPrintable(backend.problem()));
        QCOMPARE(backend.read("SOFTWARE\\Tessaly\\Orvane Editor", "Version"),
                 make == "full" ? std::optional<QString>("1.0.0") : std::nullopt);
        struct stat after;
        QCOMPARE(::stat(native, &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_size, before.st_size);
    }
};

int main(int argc, char* argv[]) {
    // Before Qt starts any thread: the full-disk row mounts a tmpfs of its own.
    const QString mounts = ReadOnlyPath::enterPrivateMounts();
    if (!mounts.isEmpty()) {
        qWarning().noquote() << "no private mounts, the full-disk row will be skipped:" << mounts;
    }
    QCoreApplication app(argc, argv);
    tst_platform test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_platform.moc"
