#pragma once

#include <QString>
#include <chrono>
#include <memory>
#include <vector>

#include "CurlJob.h"
#include "InternetTransfer.h"
#include "StageTracker.h"

// The Internet transfer component on libcurl: HTTP, HTTPS and FTP. Each fetch runs on a
// worker thread of its own, so the caller's event loop keeps running (libcurl blocks
// inside its calls for FTP); the worker posts its stage events back to this object's thread,
// where they become states. libcurl itself is in a module loaded by makeInternetTransfer.
class CurlTransfer final : public InternetTransfer {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultConnectTimeout{15000};
    static constexpr std::chrono::seconds DefaultStallTimeout{15};
    static constexpr std::chrono::milliseconds DefaultTimeLimit{30000};
    static constexpr int DefaultMaxRedirects = 10;

    // `run`: the module's entry point.
    explicit CurlTransfer(CurlRunFunction run, QObject* parent = nullptr);
    // Cancels a running fetch and waits a bounded time for its worker; a worker still busy
    // then (an FTP server slow to say goodbye) finishes on its own, reporting nothing.
    ~CurlTransfer() override;
    Q_DISABLE_COPY_MOVE(CurlTransfer)

    void setProtocol(int protocol) override { protocol_ = protocol; }
    int protocol() const override { return protocol_; }
    void openUrl(const QString& url) override;
    void cancel() override;

    // Connecting covers the host lookup, TCP and TLS; a transfer (or an FTP server's reply)
    // that moves no byte for the stall time-out fails (libcurl counts it in seconds), and so
    // does a whole exchange longer than the time limit.
    void setConnectTimeout(std::chrono::milliseconds timeout) { connectTimeout_ = timeout; }
    void setStallTimeout(std::chrono::seconds timeout) { stallTimeout_ = timeout; }
    void setTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }
    void setMaxRedirects(int count) { maxRedirects_ = count; }
    // A file of certificate authorities to trust instead of the system's; empty: the system's.
    void setCaInfo(const QString& path) { caInfo_ = path; }

    bool isRunning() const { return currentId_ != 0; }

    // The address as fetched: `address` with the scheme of `protocol` (its own scheme for
    // AsAddress). Empty, with the reason in `problem`, for an address that cannot be fetched.
    static QString addressFor(int protocol, const QString& address, QString* problem);

private:
    struct Request;

    void deliverEvent(quint64 id, StageTracker::Event event, const QString& detail);
    void deliverFinished(quint64 id, const QByteArray& body, const QString& error);
    void deliverEnded(quint64 id);

    CurlRunFunction run_;
    int protocol_ = AsAddress;
    std::chrono::milliseconds connectTimeout_ = DefaultConnectTimeout;
    std::chrono::seconds stallTimeout_ = DefaultStallTimeout;
    std::chrono::milliseconds timeLimit_ = DefaultTimeLimit;
    int maxRedirects_ = DefaultMaxRedirects;
    QString caInfo_;

    StageTracker tracker_;  // of the current fetch
    quint64 lastId_ = 0;
    quint64 currentId_ = 0;  // the fetch whose signals are delivered; 0 when none runs
    std::vector<std::shared_ptr<Request>> requests_;  // workers not yet joined
};

// The program's Internet transfer component. The first call loads the libcurl module from
// `folder` (empty: the program's library folder, found from the executable's), which then
// serves every later call. Null when it cannot be loaded: transferModuleError() says why.
std::unique_ptr<InternetTransfer> makeInternetTransfer(const QString& folder = QString());
QString transferModuleError();
