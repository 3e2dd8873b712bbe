#include <sys/stat.h>

#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include "LinkLaunchCheck.h"

// Browse must never hand the desktop an address that starts a program on this computer,
// however the address names it and whatever the program's file is called.
class tst_LinkLaunchCheck : public QObject {
    Q_OBJECT
private slots:
    void localProgramPath_data() {
        QTest::addColumn<QString>("address");  // %1: a folder holding the files below
        QTest::addColumn<bool>("refused");
        const QString host = QSysInfo::machineHostName();
        QTest::newRow("executable mode") << "file://%1/tool" << true;
        QTest::newRow("host localhost") << "file://localhost%1/tool" << true;
        QTest::newRow("host 127.0.0.1") << "FILE://127.0.0.1%1/tool" << true;
        QTest::newRow("this machine's name") << "file://" + host + "%1/tool" << true;
        QTest::newRow("encoded name in a file address") << "file://%1/t%6Fol" << true;
        QTest::newRow("launcher by content, no suffix") << "file:%1/launcher" << true;
        QTest::newRow("launcher by suffix") << "%1/app.desktop" << true;
        QTest::newRow("script by #!") << "%1/script" << true;
        QTest::newRow("ELF without execute mode") << "%1/elf" << true;
        QTest::newRow("text file") << "file://localhost%1/notes.txt" << false;
        QTest::newRow("launcher group not first") << "%1/other" << false;
        QTest::newRow("named pipe is not read") << "%1/pipe" << false;
        QTest::newRow("folder") << "file://%1" << false;
        QTest::newRow("missing file") << "%1/none" << false;
        QTest::newRow("web address") << "http://localhost%1/tool" << false;
    }
    void localProgramPath() {
        QFETCH(QString, address);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        const auto write = [&](const char* name, const QByteArray& bytes) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        };
        write("tool", "plain text");
        QVERIFY(QFile::setPermissions(dir.filePath("tool"), QFile::ReadOwner | QFile::ExeOther));
        write("launcher", "\xEF\xBB\xBF# made by hand\n\n[Desktop Entry]\nExec=/usr/bin/env\n");
        write("app.desktop", "");
        write("script", "#!/bin/sh\n");
        write("elf",
              "\x7F"
              "ELF\x02\x01\x01");
        write("notes.txt", "hello\n");
        write("other", "[Other]\n[Desktop Entry]\n");
        QCOMPARE(mkfifo(qPrintable(dir.filePath("pipe")), 0600), 0);
        const QString path = ::localProgramPath(address.arg(dir.path()));
        QCOMPARE(!path.isEmpty(), refused);
        QVERIFY(path.isEmpty() || QFileInfo(path).canonicalFilePath().startsWith(dir.path()));
    }
};

QTEST_APPLESS_MAIN(tst_LinkLaunchCheck)
#include "tst_linkLaunchCheck.moc"
