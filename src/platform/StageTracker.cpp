#include "StageTracker.h"

#include <algorithm>
#include <array>

namespace {

using S = InternetTransfer::State;

// The order a successful exchange goes through; an error stands outside it.
constexpr std::array<int, 11> kOrder = {
    S::ResolvingHost,     S::HostResolved,  S::Connecting,        S::Connected,
    S::Requesting,        S::RequestSent,   S::ReceivingResponse, S::ResponseReceived,
    S::ResponseCompleted, S::Disconnecting, S::Disconnected};
constexpr int kFailed = S::Error;
constexpr int kDisconnecting = S::Disconnecting;

int rankOf(int state) {
    const auto it = std::find(kOrder.begin(), kOrder.end(), state);
    return it == kOrder.end() ? -1 : int(it - kOrder.begin());
}

}  // namespace

QList<int> StageTracker::feed(Event event) {
    if (cancelled_) {
        return {};
    }
    switch (event) {
        case Event::ResolveStarted:
            return advanceTo(S::ResolvingHost, true);
        case Event::SocketOpened:
            return advanceTo(S::Connecting, true);
        case Event::Connected:
            return advanceTo(S::Connected, true);
        case Event::RequestStarting:
            return advanceTo(S::Requesting, true);
        case Event::RequestSent:
            return advanceTo(S::RequestSent, true);
        case Event::ResponseStarted:
            return advanceTo(S::ReceivingResponse, true);
        case Event::Succeeded:
            return advanceTo(S::ResponseCompleted, true);
        case Event::Failed:
            // One failure per exchange, and none once the connection is being closed.
            if (failed_ || rankOf(last_) >= rankOf(kDisconnecting)) {
                return {};
            }
            failed_ = true;
            last_ = kFailed;
            return {kFailed};
        case Event::Disconnecting:
            return advanceTo(S::Disconnecting, false);
        case Event::Disconnected:
            return advanceTo(S::Disconnected, false);
    }
    return {};
}

// Reports `state` if it ranks above the last one reported. With `fillIn`, the stages between
// are reported first (a reused connection skips the lookup and connect hooks). Closing the
// connection never fills in: a closed connection does not mean a completed exchange.
QList<int> StageTracker::advanceTo(int state, bool fillIn) {
    const int target = rankOf(state);
    const int closing = rankOf(kDisconnecting);
    if (failed_ && target < closing) {
        return {};  // after a failure only the closing stages follow
    }
    // rankOf(0) is -1: nothing reported yet. A failure stands just before the closing pair.
    const int current = last_ == kFailed ? closing - 1 : rankOf(last_);
    if (target <= current) {
        return {};
    }
    int from = target;
    if (fillIn) {
        from = current + 1;
    } else if (target > closing && current < closing) {
        from = closing;  // Disconnected without Disconnecting: report both
    }
    QList<int> states;
    for (int rank = from; rank <= target; ++rank) {
        states.append(kOrder[size_t(rank)]);
    }
    last_ = state;
    return states;
}
