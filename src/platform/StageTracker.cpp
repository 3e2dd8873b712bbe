#include "StageTracker.h"

#include <algorithm>
#include <array>

namespace {

// The order a successful exchange goes through; 11 stands outside it.
constexpr std::array<int, 11> kOrder = {1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10};
constexpr int kFailed = 11;
constexpr int kDisconnecting = 9;

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
            return advanceTo(1, true);
        case Event::SocketOpened:
            return advanceTo(3, true);
        case Event::Connected:
            return advanceTo(4, true);
        case Event::RequestStarting:
            return advanceTo(5, true);
        case Event::RequestSent:
            return advanceTo(6, true);
        case Event::ResponseStarted:
            return advanceTo(7, true);
        case Event::Succeeded:
            return advanceTo(12, true);
        case Event::Failed:
            // One failure per exchange, and none once the connection is being closed.
            if (failed_ || rankOf(last_) >= rankOf(kDisconnecting)) {
                return {};
            }
            failed_ = true;
            last_ = kFailed;
            return {kFailed};
        case Event::Disconnecting:
            return advanceTo(9, false);
        case Event::Disconnected:
            return advanceTo(10, false);
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
