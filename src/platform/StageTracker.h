#pragma once

#include <QList>

#include "InternetTransfer.h"

// Turns the raw events of one transfer (hooks that may repeat, come late or be skipped) into
// the state numbers the component reports: each state at most once, in the order 1, 2, 3,
// 4, 5, 6, 7, 8, 12, 9, 10, or 11 at the point of failure followed only by 9 and 10.
// Plain logic, so that recorded event sequences can be replayed in tests.
class StageTracker {
public:
    enum class Event {
        ResolveStarted,   // host lookup begins                -> 1
        SocketOpened,     // the first connection socket       -> 2, 3
        Connected,        // TCP (and TLS) connected           -> 4
        RequestStarting,  // about to send the request         -> 5
        RequestSent,      // the request is out                -> 6
        ResponseStarted,  // the first byte of the response    -> 7
        Succeeded,        // the exchange ended well           -> 8, 12
        Failed,           // the exchange ended in an error    -> 11
        Disconnecting,    // the connection is being closed    -> 9
        Disconnected,     // the connection is closed          -> 10
    };

    // The states to report for `event`, in order; empty when it adds nothing new.
    QList<int> feed(Event event);
    // After a cancel nothing more is reported.
    void cancel() { cancelled_ = true; }
    bool isCancelled() const { return cancelled_; }
    bool hasFailed() const { return failed_; }
    // The last state reported, 0 before the first.
    int lastState() const { return last_; }

private:
    QList<int> advanceTo(int state, bool fillIn);

    int last_ = 0;
    bool failed_ = false;
    bool cancelled_ = false;
};
