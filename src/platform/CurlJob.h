#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>

#include "StageTracker.h"

// One fetch as the program hands it to the libcurl module (orvane-curl.so), which runs it on
// the calling thread and answers through the callbacks. The module is loaded on the first
// fetch, so a session that never fetches never maps libcurl or its TLS libraries.
struct CurlJob {
    // Fixed before the fetch starts.
    QByteArray url;
    QByteArray caInfo;  // empty: the system's certificate authorities
    long connectTimeoutMs = 0;
    long stallSeconds = 0;  // no byte moved for this long fails the fetch
    long timeLimitMs = 0;   // the whole exchange
    long maxRedirects = 0;
    qint64 bodyLimit = -1;  // negative: no limit
    bool keepBody = true;
    // A successful answer is proven by its first body bytes: end the exchange then.
    bool stopAtFirstBytes = false;

    // Called on the worker thread, each event once at most. `detail` is the reason with
    // Failed, and a remark on the exchange (an https link sent on to http) with Succeeded.
    std::function<void(StageTracker::Event event, const QString& detail)> onEvent;
    // The last call: the body kept, or empty with the reason the fetch failed.
    std::function<void(const QByteArray& body, const QString& error)> onFinished;

    // Any thread: the fetch stops as soon as the worker sees it, and reports nothing more.
    void cancel() {
        cancelled_ = true;
        std::lock_guard lock(wakeMutex_);
        if (wake_) {
            wake_();
        }
    }
    bool isCancelled() const { return cancelled_; }
    // The worker's way out of its wait for the network; set while it waits.
    void setWake(std::function<void()> wake) {
        std::lock_guard lock(wakeMutex_);
        wake_ = std::move(wake);
    }

private:
    std::atomic<bool> cancelled_{false};
    std::mutex wakeMutex_;
    std::function<void()> wake_;
};

// The module's one entry point, under the name below; the number changes with CurlJob.
using CurlRunFunction = void (*)(CurlJob& job);
inline constexpr char kCurlRunSymbol[] = "orvane_curl_run_1";
