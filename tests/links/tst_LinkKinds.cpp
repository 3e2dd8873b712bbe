#include <QTest>

#include "LinkKinds.h"

class tst_LinkKinds : public QObject {
    Q_OBJECT

private slots:
    void recognizedMenuIndex_firstMatchingPrefixWins_data();
    void recognizedMenuIndex_firstMatchingPrefixWins();
    void switchSchemeWord_replacesOnlyAnotherKindsWord_data();
    void switchSchemeWord_replacesOnlyAnotherKindsWord();
    void switchToRealMedia_makesHttpOfFtpTelnetGopther_data();
    void switchToRealMedia_makesHttpOfFtpTelnetGopther();
    void kindForDefaultLink_matchesExactText_data();
    void kindForDefaultLink_matchesExactText();
    void newLinkPrefix_isSchemeWordAndSlashes();
};

void tst_LinkKinds::recognizedMenuIndex_firstMatchingPrefixWins_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("menuIndex");  // -1: not recognised

    QTest::newRow("web") << "http://example.com/" << 7;
    QTest::newRow("ftp with path") << "ftp://example.com/pub/x" << 3;
    QTest::newRow("https is not web") << "https://example.com" << 8;
    QTest::newRow("telnet without slashes") << "telnet:host" << 6;
    QTest::newRow("gopther") << "gopther://host" << 4;
    QTest::newRow("gopher spelled right") << "gopher://host" << -1;
    QTest::newRow("capital FTP") << "FTP://host" << -1;
    QTest::newRow("ftp with one slash") << "ftp:/host" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("mail address") << "mailto:a@b.c" << -1;
    QTest::newRow("file address") << "file:///tmp/a.html" << -1;
}

void tst_LinkKinds::recognizedMenuIndex_firstMatchingPrefixWins() {
    QFETCH(QString, address);
    QFETCH(int, menuIndex);
    QCOMPARE(recognizedMenuIndex(address).value_or(-1), menuIndex);
}

void tst_LinkKinds::switchSchemeWord_replacesOnlyAnotherKindsWord_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ftp to http") << "ftp://host"
                                 << "http"
                                 << "http://host";
    QTest::newRow("https to http") << "https://host"
                                   << "http"
                                   << "http://host";
    QTest::newRow("https to ftp drops the s") << "https://host"
                                              << "ftp"
                                              << "ftp://host";
    QTest::newRow("http to https") << "http://host"
                                   << "https"
                                   << "https://host";
    QTest::newRow("https to https unchanged") << "https://host"
                                              << "https"
                                              << "https://host";
    QTest::newRow("http to http unchanged") << "http://host"
                                            << "http"
                                            << "http://host";
    QTest::newRow("gopther to telnet") << "gopther://host"
                                       << "telnet"
                                       << "telnet://host";
    QTest::newRow("initial text unchanged") << "txtURL"
                                            << "http"
                                            << "txtURL";
    QTest::newRow("capital FTP unchanged") << "FTP://host"
                                           << "http"
                                           << "FTP://host";
}

void tst_LinkKinds::switchSchemeWord_replacesOnlyAnotherKindsWord() {
    QFETCH(QString, address);
    QFETCH(QString, word);
    QFETCH(QString, expected);
    QCOMPARE(switchSchemeWord(address, word), expected);
}

void tst_LinkKinds::switchToRealMedia_makesHttpOfFtpTelnetGopther_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ftp") << "ftp://host/a.rm"
                         << "http://host/a.rm";
    QTest::newRow("telnet") << "telnet://host"
                            << "http://host";
    QTest::newRow("gopther") << "gopther://host"
                             << "http://host";
    QTest::newRow("https unchanged") << "https://host"
                                     << "https://host";
    QTest::newRow("http unchanged") << "http://host"
                                    << "http://host";
    QTest::newRow("capital FTP unchanged") << "FTP://host"
                                           << "FTP://host";
}

void tst_LinkKinds::switchToRealMedia_makesHttpOfFtpTelnetGopther() {
    QFETCH(QString, address);
    QFETCH(QString, expected);
    QCOMPARE(switchToRealMedia(address), expected);
}

void tst_LinkKinds::kindForDefaultLink_matchesExactText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("prefix");  // empty: no kind

    QTest::newRow("HTTP") << "HTTP"
                          << "http://";
    QTest::newRow("HTTPS") << "HTTPS"
                           << "https://";
    QTest::newRow("FTP") << "FTP"
                         << "ftp://";
    QTest::newRow("Telnet") << "Telnet"
                            << "telnet://";
    QTest::newRow("Gopther") << "Gopther"
                             << "gopther://";
    QTest::newRow("lower-case http") << "http"
                                     << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("RealMedia has none") << "RealMedia Link"
                                        << "";
}

void tst_LinkKinds::kindForDefaultLink_matchesExactText() {
    QFETCH(QString, text);
    QFETCH(QString, prefix);
    const KindInfo* info = kindForDefaultLink(text);
    QCOMPARE(info ? info->newLinkPrefix : QString(), prefix);
    if (info) {
        QCOMPARE(info->linkKind, LinkKind::Web);
    }
}

void tst_LinkKinds::newLinkPrefix_isSchemeWordAndSlashes() {
    // The Link menu and the recognition rule rely on the table agreeing with itself.
    for (const KindInfo& info : linkKinds()) {
        if (info.linkKind == LinkKind::Web) {
            QCOMPARE(info.newLinkPrefix, info.schemeWord + QStringLiteral("://"));
            QCOMPARE(recognizedMenuIndex(info.newLinkPrefix + QStringLiteral("host")),
                     std::optional<int>(info.menuIndex));
            QVERIFY(!info.inPlayListMenu);
        } else {
            QCOMPARE(info.newLinkPrefix, QStringLiteral("http://"));
            QVERIFY(info.inPlayListMenu);
        }
        QCOMPARE(&kindInfo(info.kind), &info);
    }
}

QTEST_GUILESS_MAIN(tst_LinkKinds)
#include "tst_LinkKinds.moc"
