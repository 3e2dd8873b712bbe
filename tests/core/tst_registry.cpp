#include <QTemporaryDir>
#include <QtTest>

#include "IniSettingsBackend.h"
#include "Registry.h"

class tst_registry : public QObject {
    Q_OBJECT
private slots:
    void readBack_data() {
        QTest::addColumn<bool>("write");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<SettingText>("expected");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("flagOn");
        QTest::newRow("missing") << false << QString() << SettingText() << 0 << false;
        QTest::newRow("empty is not missing") << true << "" << SettingText("") << 0 << false;
        QTest::newRow("on") << true << "1" << SettingText("1") << 1 << true;
        QTest::newRow("off") << true << "0" << SettingText("0") << 0 << false;
        QTest::newRow("cut at NUL")
            << true << QString::fromUtf16(u"HTTP\0X", 6) << SettingText("HTTP") << 0 << false;
        QTest::newRow("terminating NUL")
            << true << QString::fromUtf16(u"1\0", 2) << SettingText("1") << 1 << true;
        QTest::newRow("number with text after it")
            << true << " 2abc" << SettingText(" 2abc") << 2 << false;
        QTest::newRow("hand-edited word") << true << "yes" << SettingText("yes") << 0 << false;
        QTest::newRow("too large a number")
            << true << "99999999999" << SettingText("99999999999") << 0 << false;
    }
    void readBack() {
        QFETCH(bool, write);
        QFETCH(QString, stored);
        QFETCH(SettingText, expected);
        QFETCH(int, number);
        QFETCH(bool, flagOn);
        QTemporaryDir dir;
        IniSettingsBackend backend(dir.filePath("user.conf"), QString());
        Registry registry(backend);
        if (write) {
            registry.setOption(Registry::ShowTipsAtStartup, stored);
        }
        const SettingText value = registry.option(Registry::ShowTipsAtStartup);
        QCOMPARE(value, expected);
        QCOMPARE(settingNumber(value), number);
        QCOMPARE(registry.flag(Registry::ShowTipsAtStartup), flagOn);
        // The missing marker and the empty text compare alike.
        QCOMPARE(settingEquals(value, QString()), !value || value->isEmpty());
    }

    void productAndOptionKeysAreSeparate() {
        QTemporaryDir dir;
        IniSettingsBackend backend(dir.filePath("user.conf"), QString());
        Registry registry(backend);
        registry.SaveSettingText(Registry::Root::LocalMachine, Registry::ProductKey,
                                 Registry::Version, "1.0.0");
        QCOMPARE(registry.GetSettingText(Registry::Root::LocalMachine, Registry::ProductKey,
                                         Registry::Version),
                 SettingText("1.0.0"));
        QCOMPARE(registry.option(Registry::Version), SettingText());
    }
};

QTEST_GUILESS_MAIN(tst_registry)
#include "tst_registry.moc"
