#include <QTemporaryDir>
#include <QtTest>

#include "FileFilter.h"
#include "IniSettingsBackend.h"

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

    void ini_defaultFileIsTheUsersConfFile() {
        const QString expected = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) +
                                 QStringLiteral("/Tessaly/Orvane Editor.conf");
        QVERIFY(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"));
        QCOMPARE(IniSettingsBackend().userFile(), expected);
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

    void ini_unwritableFileLosesTheWriteQuietly() {
        QTemporaryDir dir;
        // The "file" is a folder: the write is lost and later reads say missing.
        IniSettingsBackend backend(dir.path(), QString());
        backend.write("SOFTWARE\\Tessaly\\Orvane Editor", "Version", "1.0.0");
        QCOMPARE(backend.read("SOFTWARE\\Tessaly\\Orvane Editor", "Version"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(tst_platform)
#include "tst_platform.moc"
