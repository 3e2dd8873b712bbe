#include "CurlTransfer.h"

#include <curl/curl.h>

#include <QMetaObject>
#include <QPointer>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "StageTracker.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

// How the states are found in libcurl (7.88). Every hook runs on the worker thread and
// feeds a StageTracker, which reports each state once and in order, filling in stages a
// reused connection or a cached lookup skips, and nothing after a cancel.
//
//   1 lookup        CURLOPT_RESOLVER_START_FUNCTION (fires for literal addresses too)
//   2 found,        the first CURLOPT_OPENSOCKETFUNCTION of the connection: a socket is
//   3 connecting    only made once the host's address is known
//   4 connected     CURLINFO_CONNECT_TIME_T > 0, read in the progress callback (after TLS too)
//   5 sending       CURLOPT_PREREQFUNCTION (FTP: after the login, before RETR)
//   6 sent          CURLINFO_PRETRANSFER_TIME_T > 0, read in the progress callback
//   7 receiving     HTTP: the first status line after 5; FTP: the first body bytes (the
//                   header callback sees every FTP control reply from the greeting on)
//   8, 12           CURLMSG_DONE with CURLE_OK and a status below 400
//   11              CURLMSG_DONE with an error, or an HTTP status of 400 or more (libcurl
//                   counts a 404 as success), or a body over the limit
//   9, 10           around closing the connections (curl_multi_cleanup); close-socket
//                   callbacks are not used, as libcurl skips them for sockets that never
//                   connected
//
// A cancel sets a flag and wakes curl_multi_poll; the worker then leaves its loop and cleans
// up outside any callback. The write and progress callbacks also check the flag.

namespace {

constexpr auto kDestructorWait = std::chrono::milliseconds(1500);
const char* const kProtocols = "http,https,ftp";

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

struct CurlTransfer::Request {
    // Fixed before the worker starts.
    quint64 id = 0;
    QByteArray url;
    QByteArray caInfo;
    long connectTimeoutMs = 0;
    long stallSeconds = 0;
    long maxRedirects = 0;
    qint64 bodyLimit = -1;
    bool keepBody = true;

    std::atomic<bool> cancelled{false};

    // Shared with the owning thread.
    std::mutex mutex;
    CURLM* multi = nullptr;            // set while curl_multi_wakeup may be called on it
    CurlTransfer* receiver = nullptr;  // cleared by the owner's destructor
    std::mutex endMutex;
    std::condition_variable endSignal;
    bool ended = false;
    std::thread thread;  // used by the owning thread only

    // The worker's own.
    CURL* easy = nullptr;
    StageTracker tracker;
    bool requestStarting = false;
    QByteArray body;
    qint64 received = 0;
    bool overLimit = false;
    QByteArray statusLine;  // the last HTTP status line
    QByteArray ftpReply;    // the last FTP control reply
    char errorBuffer[CURL_ERROR_SIZE] = {};

    void cancel() {
        cancelled = true;
        std::lock_guard lock(mutex);
        if (multi != nullptr) {
            curl_multi_wakeup(multi);
        }
    }

    void post(std::function<void(CurlTransfer&)> call) {
        std::lock_guard lock(mutex);
        if (receiver != nullptr) {
            CurlTransfer* target = receiver;
            QMetaObject::invokeMethod(
                target, [target, call = std::move(call)] { call(*target); }, Qt::QueuedConnection);
        }
    }

    void report(StageTracker::Event event, const QString& error = QString()) {
        if (cancelled) {
            tracker.cancel();
        }
        const QList<int> states = tracker.feed(event);
        if (!states.isEmpty()) {
            post([id = id, states, error](CurlTransfer& t) { t.deliverStates(id, states, error); });
        }
    }

    // The hooks. None of them calls back into libcurl except curl_easy_getinfo.
    static int onResolverStart(void*, void*, void* self) {
        auto* r = static_cast<Request*>(self);
        r->report(StageTracker::Event::ResolveStarted);
        return r->cancelled ? 1 : 0;
    }

    static curl_socket_t onOpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address) {
        auto* r = static_cast<Request*>(self);
        if (r->cancelled) {
            return CURL_SOCKET_BAD;
        }
        if (purpose == CURLSOCKTYPE_IPCXN) {
            r->report(StageTracker::Event::SocketOpened);
        }
        int type = address->socktype;
#ifdef SOCK_CLOEXEC
        type |= SOCK_CLOEXEC;
#endif
        return ::socket(address->family, type, address->protocol);
    }

    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto* r = static_cast<Request*>(self);
        if (r->cancelled) {
            return 1;
        }
        curl_off_t connected = 0;
        curl_off_t sent = 0;
        curl_easy_getinfo(r->easy, CURLINFO_CONNECT_TIME_T, &connected);
        curl_easy_getinfo(r->easy, CURLINFO_PRETRANSFER_TIME_T, &sent);
        if (connected > 0) {
            r->report(StageTracker::Event::Connected);
        }
        if (sent > 0 && r->requestStarting) {
            r->report(StageTracker::Event::RequestSent);
        }
        return 0;
    }

    static int onRequestStart(void* self, char*, char*, int, int) {
        auto* r = static_cast<Request*>(self);
        r->requestStarting = true;
        r->report(StageTracker::Event::RequestStarting);
        return r->cancelled ? CURL_PREREQFUNC_ABORT : CURL_PREREQFUNC_OK;
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* self) {
        auto* r = static_cast<Request*>(self);
        const size_t length = size * count;
        const QByteArray line = QByteArray(data, qsizetype(length)).trimmed();
        if (line.startsWith("HTTP/")) {
            r->statusLine = line;
            if (r->requestStarting) {
                r->report(StageTracker::Event::ResponseStarted);
            }
        } else if (line.size() >= 4 && std::isdigit(uchar(line[0])) &&
                   std::isdigit(uchar(line[1])) && std::isdigit(uchar(line[2])) &&
                   (line[3] == ' ' || line[3] == '-')) {
            r->ftpReply = line;
        }
        return length;
    }

    static size_t onBody(char* data, size_t size, size_t count, void* self) {
        auto* r = static_cast<Request*>(self);
        const size_t length = size * count;
        if (r->cancelled) {
            return 0;
        }
        r->report(StageTracker::Event::ResponseStarted);
        r->received += qint64(length);
        if (r->bodyLimit >= 0 && r->received > r->bodyLimit) {
            r->overLimit = true;
            return 0;  // fails the transfer with CURLE_WRITE_ERROR
        }
        if (r->keepBody) {
            r->body.append(data, qsizetype(length));
        }
        return length;
    }

    QString failure(CURLcode result) const;
};

// Why the finished exchange failed, or empty when it succeeded.
QString CurlTransfer::Request::failure(CURLcode result) const {
    if (overLimit || result == CURLE_FILESIZE_EXCEEDED) {
        return QStringLiteral("The answer is larger than %1 bytes.").arg(bodyLimit);
    }
    if (result == CURLE_OK) {
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        const char* scheme = nullptr;
        curl_easy_getinfo(easy, CURLINFO_SCHEME, &scheme);
        const bool http =
            scheme != nullptr && (qstricmp(scheme, "http") == 0 || qstricmp(scheme, "https") == 0);
        if (http && status >= 400) {
            return statusLine.isEmpty() ? QStringLiteral("HTTP %1").arg(status)
                                        : statusText(statusLine);
        }
        return QString();
    }
    // An FTP server's refusal says more than libcurl's summary of it.
    if (ftpReply.size() >= 3 && ftpReply[0] >= '4' && ftpReply[0] <= '5' && statusLine.isEmpty()) {
        return QStringLiteral("FTP ") + QString::fromLatin1(ftpReply);
    }
    if (errorBuffer[0] != '\0') {
        return QString::fromLocal8Bit(errorBuffer).trimmed();
    }
    return QString::fromLatin1(curl_easy_strerror(result));
}

CurlTransfer::CurlTransfer(QObject* parent) : InternetTransfer(parent) {
    initialiseCurlOnce();
}

CurlTransfer::~CurlTransfer() {
    for (const auto& request : requests_) {
        request->cancel();
        std::lock_guard lock(request->mutex);
        request->receiver = nullptr;
    }
    const auto deadline = std::chrono::steady_clock::now() + kDestructorWait;
    for (const auto& request : requests_) {
        std::unique_lock lock(request->endMutex);
        if (request->endSignal.wait_until(lock, deadline, [&] { return request->ended; })) {
            lock.unlock();
            request->thread.join();
        } else {
            // It holds its own share of the request and reports to nobody now.
            request->thread.detach();
        }
    }
}

void CurlTransfer::openUrl(const QString& url) {
    cancel();
    setErrorString(QString());
    const quint64 id = ++lastId_;
    currentId_ = id;

    QString problem;
    const QString address = addressFor(protocol_, url, &problem);
    if (address.isEmpty()) {
        // Reported like any other failure, after openUrl has returned.
        QMetaObject::invokeMethod(
            this,
            [this, id, problem] {
                QPointer<CurlTransfer> self(this);
                deliverStates(id, {Error}, problem);
                if (self) {
                    deliverFinished(id, QByteArray(), problem);
                }
            },
            Qt::QueuedConnection);
        return;
    }

    auto request = std::make_shared<Request>();
    request->id = id;
    request->url = address.toUtf8();
    request->caInfo = caInfo_.toLocal8Bit();
    request->connectTimeoutMs = long(connectTimeout_.count());
    request->stallSeconds = long(std::max<std::chrono::seconds::rep>(1, stallTimeout_.count()));
    request->maxRedirects = maxRedirects_;
    request->bodyLimit = bodyLimit();
    request->keepBody = keepBody();
    request->receiver = this;
    request->thread = std::thread(&CurlTransfer::run, request);
    requests_.push_back(request);
}

void CurlTransfer::cancel() {
    if (currentId_ == 0) {
        return;
    }
    for (const auto& request : requests_) {
        if (request->id == currentId_) {
            request->cancel();
        }
    }
    currentId_ = 0;
}

void CurlTransfer::deliverStates(quint64 id, const QList<int>& states, const QString& error) {
    QPointer<CurlTransfer> self(this);
    for (const int state : states) {
        // A slot may cancel, start another fetch or delete this object.
        if (!self || id != currentId_) {
            return;
        }
        if (state == Error) {
            setErrorString(error);
        }
        emit stateChanged(state);
    }
}

void CurlTransfer::deliverFinished(quint64 id, const QByteArray& body, const QString& error) {
    if (id != currentId_) {
        return;
    }
    currentId_ = 0;
    emit finished(body, error);
}

void CurlTransfer::deliverEnded(quint64 id) {
    for (auto it = requests_.begin(); it != requests_.end(); ++it) {
        if ((*it)->id == id) {
            (*it)->thread.join();  // it has posted its last word and is returning
            requests_.erase(it);
            return;
        }
    }
}

void CurlTransfer::run(const std::shared_ptr<Request>& request) {
    Request& r = *request;
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    r.easy = easy;

    CURLcode setup = (easy == nullptr || multi == nullptr) ? CURLE_FAILED_INIT : CURLE_OK;
    const auto set = [&](CURLoption option, auto value) {
        if (setup == CURLE_OK) {
            setup = curl_easy_setopt(easy, option, value);
        }
    };
    set(CURLOPT_ERRORBUFFER, r.errorBuffer);
    set(CURLOPT_URL, r.url.constData());
    set(CURLOPT_PROTOCOLS_STR, kProtocols);
    set(CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, r.maxRedirects);
    set(CURLOPT_CONNECTTIMEOUT_MS, r.connectTimeoutMs);
    set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(CURLOPT_LOW_SPEED_TIME, r.stallSeconds);
    set(CURLOPT_SERVER_RESPONSE_TIMEOUT, r.stallSeconds);
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_QUICK_EXIT, 1L);
    set(CURLOPT_USERAGENT, "Orvane Editor");
    if (r.bodyLimit >= 0) {
        set(CURLOPT_MAXFILESIZE_LARGE, curl_off_t(r.bodyLimit));
    }
    if (!r.caInfo.isEmpty()) {
        set(CURLOPT_CAINFO, r.caInfo.constData());
    }
    set(CURLOPT_RESOLVER_START_FUNCTION, &Request::onResolverStart);
    set(CURLOPT_RESOLVER_START_DATA, &r);
    set(CURLOPT_OPENSOCKETFUNCTION, &Request::onOpenSocket);
    set(CURLOPT_OPENSOCKETDATA, &r);
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &Request::onProgress);
    set(CURLOPT_XFERINFODATA, &r);
    set(CURLOPT_PREREQFUNCTION, &Request::onRequestStart);
    set(CURLOPT_PREREQDATA, &r);
    set(CURLOPT_HEADERFUNCTION, &Request::onHeader);
    set(CURLOPT_HEADERDATA, &r);
    set(CURLOPT_WRITEFUNCTION, &Request::onBody);
    set(CURLOPT_WRITEDATA, &r);

    // Only libcurl's done message makes a transfer a success.
    CURLcode result = setup == CURLE_OK ? CURLE_FAILED_INIT : setup;
    bool added = false;
    if (setup == CURLE_OK) {
        {
            std::lock_guard lock(r.mutex);
            r.multi = multi;
        }
        added = curl_multi_add_handle(multi, easy) == CURLM_OK;
        bool done = false;
        while (added && !done && !r.cancelled) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                break;
            }
            int queued = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
                if (message->msg == CURLMSG_DONE) {
                    result = message->data.result;
                    done = true;
                }
            }
            if (done || running == 0) {
                break;
            }
            if (curl_multi_poll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK) {
                break;
            }
        }
    }

    QString error;
    if (!r.cancelled) {
        error = r.failure(result);
        r.report(error.isEmpty() ? StageTracker::Event::Succeeded : StageTracker::Event::Failed,
                 error);
        r.report(StageTracker::Event::Disconnecting);
    }
    if (added) {
        curl_multi_remove_handle(multi, easy);
    }
    if (easy != nullptr) {
        curl_easy_cleanup(easy);
    }
    r.easy = nullptr;
    {
        std::lock_guard lock(r.mutex);
        r.multi = nullptr;
    }
    if (multi != nullptr) {
        curl_multi_cleanup(multi);  // closes the connection (an FTP QUIT)
    }
    if (!r.cancelled) {
        r.report(StageTracker::Event::Disconnected);
        // A failed fetch hands over no body: part of one is no answer.
        if (!error.isEmpty()) {
            r.body.clear();
        }
        r.post([id = r.id, body = std::move(r.body), error](CurlTransfer& t) {
            t.deliverFinished(id, body, error);
        });
    }
    {
        std::lock_guard lock(r.endMutex);
        r.ended = true;
    }
    r.endSignal.notify_all();
    r.post([id = r.id](CurlTransfer& t) { t.deliverEnded(id); });
}

QString CurlTransfer::addressFor(int protocol, const QString& address, QString* problem) {
    const auto fail = [problem](const QString& why) {
        if (problem != nullptr) {
            *problem = why;
        }
        return QString();
    };
    QUrl url(address.trimmed(), QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return fail(QStringLiteral("The address \"%1\" names no host.").arg(address));
    }
    QString scheme;
    switch (protocol) {
        case FTP:
            scheme = QStringLiteral("ftp");
            break;
        case HTTP:
            scheme = QStringLiteral("http");
            break;
        case HTTPS:
            scheme = QStringLiteral("https");
            break;
        case AsAddress:
            scheme = url.scheme().toLower();
            if (scheme != QLatin1String("ftp") && scheme != QLatin1String("http") &&
                scheme != QLatin1String("https")) {
                return fail(QStringLiteral("Addresses beginning with \"%1\" cannot be fetched.")
                                .arg(url.scheme()));
            }
            break;
        default:
            return fail(QStringLiteral("Protocol %1 is not supported.").arg(protocol));
    }
    url.setScheme(scheme);
    url.setFragment(QString());
    return QString::fromLatin1(url.toEncoded());
}

QString CurlTransfer::statusText(const QByteArray& statusLine) {
    // "HTTP/1.1 404 Not Found": drop the version, keep the code and the reason.
    const QByteArray line = statusLine.trimmed();
    const qsizetype space = line.indexOf(' ');
    if (space < 0) {
        return QString::fromLatin1(line);
    }
    return QStringLiteral("HTTP ") + QString::fromLatin1(line.mid(space + 1).trimmed());
}
