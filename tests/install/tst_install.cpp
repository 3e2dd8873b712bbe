// The program as users get it, laid out by make_trees.sh: once by `cmake --install` into a
// prefix of its own, once from the Debian package unpacked with dpkg -x. Both trees hold the
// same files in the same places, and nothing else.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

namespace {

const QString AppId = QStringLiteral("com.tessaly.OrvaneEditor");

struct InstalledFile {
    QString path;    // relative to the prefix
    QString source;  // the file it must equal byte for byte; empty for the program
};

QList<InstalledFile> expectedFiles() {
    const QString data = QStringLiteral(ORVANE_SOURCE_DATA_DIR);
    QList<InstalledFile> files = {
        {QStringLiteral("bin/orvane-editor"), QString()},
        {QStringLiteral("lib/orvane-editor/orvane-curl.so"), QString()},
        {QStringLiteral("share/orvane-editor/tod.dat"), data + QStringLiteral("/tod.dat")},
        {QStringLiteral("share/applications/") + AppId + QStringLiteral(".desktop"),
         data + QStringLiteral("/") + AppId + QStringLiteral(".desktop")},
        {QStringLiteral("share/metainfo/") + AppId + QStringLiteral(".metainfo.xml"),
         QStringLiteral(ORVANE_BUILD_DATA_DIR "/") + AppId + QStringLiteral(".metainfo.xml")},
        {QStringLiteral("share/icons/hicolor/256x256/apps/") + AppId + QStringLiteral(".png"),
         data + QStringLiteral("/icons/orvane-editor-256.png")},
        {QStringLiteral("share/icons/hicolor/64x64/apps/") + AppId + QStringLiteral(".png"),
         data + QStringLiteral("/icons/orvane-editor.png")},
        {QStringLiteral("share/icons/hicolor/scalable/apps/") + AppId + QStringLiteral(".svg"),
         data + QStringLiteral("/icons/orvane-editor.svg")},
    };
    const QDir help(data + QStringLiteral("/help"));
    for (const QString& name : help.entryList({QStringLiteral("*.dat")}, QDir::Files)) {
        files.append({QStringLiteral("share/orvane-editor/help/") + name, help.filePath(name)});
    }
    return files;
}

QString treesDir() {
    return QStringLiteral(ORVANE_TREES_DIR);
}

// Each tree by name, with its prefix.
QList<std::pair<QString, QString>> trees() {
    return {{QStringLiteral("install"), treesDir() + QStringLiteral("/prefix")},
            {QStringLiteral("package"), treesDir() + QStringLiteral("/root/usr")}};
}

QString packageFile() {
    const QDir deb(treesDir() + QStringLiteral("/deb"));
    const QStringList debs = deb.entryList({QStringLiteral("*.deb")}, QDir::Files);
    return debs.size() == 1 ? deb.filePath(debs.first()) : QString();
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning().noquote() << program << arguments << process.readAllStandardError();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString desktopEntry(const QString& prefix, const QString& key) {
    QSettings desktop(
        prefix + QStringLiteral("/share/applications/") + AppId + QStringLiteral(".desktop"),
        QSettings::IniFormat);
    return desktop.value(QStringLiteral("Desktop Entry/") + key).toString();
}

}  // namespace

class tst_install : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        for (const auto& [name, prefix] : trees()) {
            QVERIFY2(
                QFileInfo(prefix).isDir(),
                qPrintable(prefix + QStringLiteral(" is missing: run the install_trees test")));
        }
        QVERIFY2(!packageFile().isEmpty(), "no single package in the trees folder");
    }

    void installedFile_data() {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("source");
        for (const auto& [name, prefix] : trees()) {
            for (const InstalledFile& file : expectedFiles()) {
                QTest::addRow("%s: %s", qPrintable(name), qPrintable(file.path))
                    << prefix << file.path << file.source;
            }
        }
    }

    void installedFile() {
        QFETCH(QString, prefix);
        QFETCH(QString, path);
        QFETCH(QString, source);
        QFile installed(prefix + QLatin1Char('/') + path);
        QVERIFY2(installed.open(QIODevice::ReadOnly), qPrintable(installed.errorString()));
        if (source.isEmpty()) {
            QVERIFY(installed.permissions() & QFileDevice::ExeOther);
            QCOMPARE(installed.read(4), QByteArray("\x7f"
                                                   "ELF"));
            return;
        }
        QFile original(source);
        QVERIFY2(original.open(QIODevice::ReadOnly), qPrintable(original.errorString()));
        QVERIFY(installed.readAll() == original.readAll());
        QVERIFY(!(installed.permissions() & QFileDevice::ExeOther));
    }

    // A stray install rule (a test program, a static library, a header) shows up here.
    void tree_holdsNothingElse_data() {
        QTest::addColumn<QString>("prefix");
        for (const auto& [name, prefix] : trees()) {
            QTest::newRow(qPrintable(name)) << prefix;
        }
    }

    void tree_holdsNothingElse() {
        QFETCH(QString, prefix);
        QStringList expected;
        for (const InstalledFile& file : expectedFiles()) {
            expected.append(file.path);
        }
        QStringList found;
        QDirIterator it(prefix, QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            found.append(QDir(prefix).relativeFilePath(it.next()));
        }
        expected.sort();
        found.sort();
        QCOMPARE(found, expected);
        // The package puts nothing outside /usr.
        if (prefix.endsWith(QStringLiteral("/usr"))) {
            const QStringList top = QDir(treesDir() + QStringLiteral("/root"))
                                        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            QCOMPARE(top, QStringList{QStringLiteral("usr")});
        }
    }

    // The launcher entry and the software-centre description point at files that are there.
    void desktopIntegration_pointsAtInstalledFiles_data() {
        QTest::addColumn<QString>("prefix");
        for (const auto& [name, prefix] : trees()) {
            QTest::newRow(qPrintable(name)) << prefix;
        }
    }

    void desktopIntegration_pointsAtInstalledFiles() {
        QFETCH(QString, prefix);
        const QString exec = desktopEntry(prefix, QStringLiteral("Exec"));
        QVERIFY(!exec.isEmpty());
        QVERIFY2(QFileInfo(prefix + QStringLiteral("/bin/") + exec).isExecutable(),
                 qPrintable(exec));

        const QString icon = desktopEntry(prefix, QStringLiteral("Icon"));
        for (const QString& size : {QStringLiteral("64x64"), QStringLiteral("256x256")}) {
            QVERIFY2(QFileInfo::exists(prefix + QStringLiteral("/share/icons/hicolor/") + size +
                                       QStringLiteral("/apps/") + icon + QStringLiteral(".png")),
                     qPrintable(size + QLatin1Char(' ') + icon));
        }

        QFile metainfo(prefix + QStringLiteral("/share/metainfo/") + AppId +
                       QStringLiteral(".metainfo.xml"));
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        const QRegularExpression launchable(
            QStringLiteral("<launchable type=\"desktop-id\">([^<]+)</launchable>"));
        const QRegularExpressionMatch match =
            launchable.match(QString::fromUtf8(metainfo.readAll()));
        QVERIFY(match.hasMatch());
        QVERIFY2(
            QFileInfo::exists(prefix + QStringLiteral("/share/applications/") + match.captured(1)),
            qPrintable(match.captured(1)));
    }

    // A picture put in the wrong size folder shows blurred or not at all.
    void icon_sizeMatchesItsFolder_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("size");
        for (const auto& [name, prefix] : trees()) {
            for (const int size : {64, 256}) {
                QTest::addRow("%s: %dx%d", qPrintable(name), size, size)
                    << QStringLiteral("%1/share/icons/hicolor/%2x%2/apps/%3.png")
                           .arg(prefix)
                           .arg(size)
                           .arg(AppId)
                    << size;
            }
        }
    }

    void icon_sizeMatchesItsFolder() {
        QFETCH(QString, file);
        QFETCH(int, size);
        QImageReader reader(file);
        QCOMPARE(reader.size(), QSize(size, size));
    }

    void package_controlField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("pattern");
        const QString arch = run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")});
        QTest::newRow("name") << "Package"
                              << "^orvane-editor$";
        QTest::newRow("version of the program") << "Version"
                                                << "^" ORVANE_VERSION "$";
        QTest::newRow("this machine's architecture")
            << "Architecture" << (QLatin1Char('^') + arch + QLatin1Char('$'));
        // Found in the binary by dpkg-shlibdeps: the package installs what it links against.
        QTest::newRow("Qt Widgets from the binary") << "Depends"
                                                    << "\\blibqt6widgets6\\b";
        QTest::newRow("libcurl from the binary") << "Depends"
                                                 << "\\blibcurl4\\b";
        QTest::newRow("a window-system plugin") << "Depends"
                                                << "\\bqt6-qpa-plugins\\b";
        QTest::newRow("a maintainer") << "Maintainer"
                                      << "\\S+ <[^@>]+@[^>]+>";
    }

    void package_controlField() {
        QFETCH(QString, field);
        QFETCH(QString, pattern);
        const QString value =
            run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), packageFile(), field});
        QVERIFY2(QRegularExpression(pattern).match(value).hasMatch(),
                 qPrintable(field + QStringLiteral(": ") + value));
    }
};

QTEST_GUILESS_MAIN(tst_install)
#include "tst_install.moc"
