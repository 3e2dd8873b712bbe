#include <QTest>

#include "StageTracker.h"

using Event = StageTracker::Event;
Q_DECLARE_METATYPE(QList<Event>)

namespace {
const QList<int> kSuccess = {1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
}

// Recorded hook sequences of real exchanges (and of the odd ones libcurl produces) must
// come out as the states a user sees: each once, in order, nothing after a cancel.
class tst_StageTracker : public QObject {
    Q_OBJECT
private slots:
    void feed_data();
    void feed();
    void cancel_stopsEveryLaterState();
};

void tst_StageTracker::feed_data() {
    QTest::addColumn<QList<Event>>("events");
    QTest::addColumn<QList<int>>("states");

    using E = Event;
    QTest::newRow("plain HTTP exchange")
        << QList<Event>{E::ResolveStarted,  E::SocketOpened,  E::Connected,
                        E::RequestStarting, E::RequestSent,   E::ResponseStarted,
                        E::Succeeded,       E::Disconnecting, E::Disconnected}
        << kSuccess;
    QTest::newRow("progress hooks repeat while receiving")
        << QList<Event>{E::ResolveStarted,  E::SocketOpened,    E::Connected,
                        E::Connected,       E::RequestStarting, E::Connected,
                        E::RequestSent,     E::ResponseStarted, E::RequestSent,
                        E::ResponseStarted, E::ResponseStarted, E::Succeeded,
                        E::Disconnecting,   E::Disconnected}
        << kSuccess;
    QTest::newRow("redirect repeats lookup, socket and request on a new connection")
        << QList<Event>{E::ResolveStarted,  E::SocketOpened,  E::Connected,
                        E::RequestStarting, E::RequestSent,   E::ResponseStarted,
                        E::ResolveStarted,  E::SocketOpened,  E::Connected,
                        E::RequestStarting, E::RequestSent,   E::ResponseStarted,
                        E::Succeeded,       E::Disconnecting, E::Disconnected}
        << kSuccess;
    QTest::newRow("FTP data connection opens a second socket")
        << QList<Event>{E::ResolveStarted, E::SocketOpened, E::Connected,       E::RequestStarting,
                        E::SocketOpened,   E::RequestSent,  E::ResponseStarted, E::Succeeded,
                        E::Disconnecting,  E::Disconnected}
        << kSuccess;
    QTest::newRow("reused connection starts at the request")
        << QList<Event>{E::RequestStarting, E::ResponseStarted, E::Succeeded, E::Disconnecting,
                        E::Disconnected}
        << kSuccess;
    QTest::newRow("connect seen before its socket hook is filled in")
        << QList<Event>{E::Connected,       E::SocketOpened,  E::ResolveStarted,
                        E::RequestStarting, E::RequestSent,   E::ResponseStarted,
                        E::Succeeded,       E::Disconnecting, E::Disconnected}
        << kSuccess;
    QTest::newRow("success with no hooks at all still reports every stage")
        << QList<Event>{E::Succeeded, E::Disconnecting, E::Disconnected} << kSuccess;
    QTest::newRow("refused connection")
        << QList<Event>{E::ResolveStarted, E::SocketOpened, E::Failed, E::Disconnecting,
                        E::Disconnected}
        << QList<int>{1, 2, 3, 11, 9, 10};
    QTest::newRow("HTTP error after the response began")
        << QList<Event>{E::ResolveStarted,  E::SocketOpened,  E::Connected,
                        E::RequestStarting, E::RequestSent,   E::ResponseStarted,
                        E::Failed,          E::Disconnecting, E::Disconnected}
        << QList<int>{1, 2, 3, 4, 5, 6, 7, 11, 9, 10};
    QTest::newRow("stages after a failure are dropped, the closing pair is not")
        << QList<Event>{E::ResolveStarted, E::Failed,        E::SocketOpened, E::Succeeded,
                        E::Failed,         E::Disconnecting, E::Disconnected}
        << QList<int>{1, 11, 9, 10};
    QTest::newRow("failure before any hook") << QList<Event>{E::Failed} << QList<int>{11};
    QTest::newRow("disconnected alone reports disconnecting first")
        << QList<Event>{E::ResolveStarted, E::SocketOpened, E::Failed, E::Disconnected}
        << QList<int>{1, 2, 3, 11, 9, 10};
    QTest::newRow("closing never fills in a success")
        << QList<Event>{E::ResolveStarted, E::SocketOpened, E::Disconnecting, E::Succeeded,
                        E::Disconnected}
        << QList<int>{1, 2, 3, 9, 10};
    QTest::newRow("closing pair is reported once")
        << QList<Event>{E::Succeeded,    E::Disconnecting, E::Disconnecting,
                        E::Disconnected, E::Disconnected,  E::Failed}
        << kSuccess;
}

void tst_StageTracker::feed() {
    QFETCH(QList<Event>, events);
    QFETCH(QList<int>, states);
    StageTracker tracker;
    QList<int> reported;
    for (const Event event : events) {
        reported += tracker.feed(event);
    }
    QCOMPARE(reported, states);
    QCOMPARE(tracker.lastState(), states.last());
}

void tst_StageTracker::cancel_stopsEveryLaterState() {
    StageTracker tracker;
    QCOMPARE(tracker.feed(Event::ResolveStarted), QList<int>{1});
    tracker.cancel();
    for (const Event event : {Event::SocketOpened, Event::Succeeded, Event::Failed,
                              Event::Disconnecting, Event::Disconnected}) {
        QVERIFY(tracker.feed(event).isEmpty());
    }
}

QTEST_APPLESS_MAIN(tst_StageTracker)
#include "tst_stagetracker.moc"
