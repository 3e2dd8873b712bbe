#include <QTest>

#include "StageTracker.h"

using States = QList<int>;

namespace {
const States kSuccess = {1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
// One letter an event, in the order of StageTracker::Event, so that a recorded hook sequence
// reads as one word: Resolve, Socket, Connected, reQuest starting, requesT sent, Answer
// started, oK, Failed, Disconnecting, X disconnected. Z is a cancel.
const QString kLetters = QStringLiteral("RSCQTAKFDX");
}  // namespace

// Hook sequences of real exchanges (and the odd ones libcurl produces) must come out as the
// states a user sees: each once, in order, nothing after a cancel.
class tst_StageTracker : public QObject {
    Q_OBJECT
private slots:
    void feed_data() {
        QTest::addColumn<QString>("events");
        QTest::addColumn<States>("states");

        QTest::newRow("progress hooks repeat while receiving") << "RSCCQCTATAAKDX" << kSuccess;
        QTest::newRow("redirect: lookup, socket and request again")
            << "RSCQTARSCQTAKDX" << kSuccess;
        QTest::newRow("FTP data connection opens a second socket") << "RSCQSTAKDX" << kSuccess;
        QTest::newRow("reused connection starts at the request") << "QAKDX" << kSuccess;
        QTest::newRow("connect seen before its socket hook") << "CSRQTAKDX" << kSuccess;
        QTest::newRow("refused connection") << "RSFDX" << States{1, 2, 3, 11, 9, 10};
        QTest::newRow("after a failure only the closing pair") << "RFSKFDX" << States{1, 11, 9, 10};
        QTest::newRow("failure before any hook") << "F" << States{11};
        QTest::newRow("disconnected alone reports disconnecting first")
            << "RSFX" << States{1, 2, 3, 11, 9, 10};
        QTest::newRow("closing never fills in a success") << "RSDKX" << States{1, 2, 3, 9, 10};
        QTest::newRow("closing pair is reported once") << "KDDXXF" << kSuccess;
        QTest::newRow("nothing after a cancel") << "RZSKFDX" << States{1};
    }

    void feed() {
        QFETCH(QString, events);
        QFETCH(States, states);
        StageTracker tracker;
        States reported;
        for (const QChar letter : events) {
            if (letter == u'Z') {
                tracker.cancel();
                continue;
            }
            const qsizetype event = kLetters.indexOf(letter);
            QVERIFY(event >= 0);
            reported += tracker.feed(StageTracker::Event(event));
        }
        QCOMPARE(reported, states);
        QCOMPARE(tracker.lastState(), states.last());
    }
};

QTEST_APPLESS_MAIN(tst_StageTracker)
#include "tst_stagetracker.moc"
