// The libcurl side of the Internet transfer component, built as a module of its own
// (orvane-curl.so) that the program loads on its first fetch. It runs one fetch on the
// calling thread and reports raw stage events; the program turns them into states.
//
// How the stages are found in libcurl (7.88):
//   ResolveStarted   CURLOPT_RESOLVER_START_FUNCTION (fires for literal addresses too)
//   SocketOpened     the first CURLOPT_OPENSOCKETFUNCTION of a connection: a socket is only
//                    made once the host's address is known
//   Connected        CURLINFO_CONNECT_TIME_T > 0, read in the progress callback (after TLS)
//   RequestStarting  CURLOPT_PREREQFUNCTION (FTP: after the login, before RETR)
//   RequestSent      CURLINFO_PRETRANSFER_TIME_T > 0, read in the progress callback
//   ResponseStarted  HTTP: the first status line after the request; FTP: the first body
//                    bytes (the header callback sees every FTP control reply)
//   Succeeded/Failed CURLMSG_DONE, judged here: libcurl counts an HTTP 404 as success
//   Disconnecting/
//   Disconnected     around curl_multi_cleanup, which closes the connections
// A cancel wakes curl_multi_poll; the loop then ends and cleans up outside any callback.
#include <curl/curl.h>

#include <QtGlobal>
#include <atomic>
#include <cctype>
#include <chrono>
#include <mutex>

#include "CurlJob.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace {

using Event = StageTracker::Event;
using Clock = std::chrono::steady_clock;
const char* const kProtocols = "http,https,ftp";

// One fetch's worker-side state. None of the hooks calls into libcurl but for
// curl_easy_getinfo.
struct Session {
    explicit Session(CurlJob& job) : job(job) {}

    CurlJob& job;
    CURL* easy = nullptr;
    Clock::time_point start = Clock::now();
    unsigned reported = 0;  // a bit for each event already passed on
    bool requestStarting = false;
    bool secure = false;      // a request so far went over https
    bool downgraded = false;  // ... and a later one over plain http
    bool proven = false;      // ended on purpose at the first body bytes of a good answer
    bool overLimit = false;
    qint64 received = 0;
    QByteArray body;
    QByteArray statusLine;  // the last HTTP status line
    QByteArray ftpReply;    // the last FTP control reply
    char errorBuffer[CURL_ERROR_SIZE] = {};

    void report(Event event, const QString& detail = QString()) {
        const unsigned bit = 1u << unsigned(event);
        if (job.isCancelled() || (reported & bit) != 0) {
            return;
        }
        reported |= bit;
        job.onEvent(event, detail);
    }

    long responseCode() const {
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        return status;
    }
    bool speaksHttp() const {
        const char* scheme = nullptr;
        curl_easy_getinfo(easy, CURLINFO_SCHEME, &scheme);
        return scheme != nullptr &&
               (qstricmp(scheme, "http") == 0 || qstricmp(scheme, "https") == 0);
    }

    static int onResolverStart(void*, void*, void* self) {
        auto* s = static_cast<Session*>(self);
        s->report(Event::ResolveStarted);
        return s->job.isCancelled() ? 1 : 0;
    }

    static curl_socket_t onOpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address) {
        auto* s = static_cast<Session*>(self);
        if (s->job.isCancelled()) {
            return CURL_SOCKET_BAD;
        }
        if (purpose == CURLSOCKTYPE_IPCXN) {
            s->report(Event::SocketOpened);
        }
        int type = address->socktype;
#ifdef SOCK_CLOEXEC
        type |= SOCK_CLOEXEC;
#endif
        return ::socket(address->family, type, address->protocol);
    }

    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto* s = static_cast<Session*>(self);
        if (s->job.isCancelled()) {
            return 1;
        }
        curl_off_t connected = 0;
        curl_off_t sent = 0;
        curl_easy_getinfo(s->easy, CURLINFO_CONNECT_TIME_T, &connected);
        curl_easy_getinfo(s->easy, CURLINFO_PRETRANSFER_TIME_T, &sent);
        if (connected > 0) {
            s->report(Event::Connected);
        }
        if (sent > 0 && s->requestStarting) {
            s->report(Event::RequestSent);
        }
        return 0;
    }

    // Every request, redirects included: an https link that ends on plain http is noted.
    static int onRequestStart(void* self, char*, char*, int, int) {
        auto* s = static_cast<Session*>(self);
        s->requestStarting = true;
        const char* scheme = nullptr;
        curl_easy_getinfo(s->easy, CURLINFO_SCHEME, &scheme);
        if (scheme != nullptr && qstricmp(scheme, "https") == 0) {
            s->secure = true;
        } else if (scheme != nullptr && qstricmp(scheme, "http") == 0 && s->secure) {
            s->downgraded = true;
        }
        s->report(Event::RequestStarting);
        return s->job.isCancelled() ? CURL_PREREQFUNC_ABORT : CURL_PREREQFUNC_OK;
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* self) {
        auto* s = static_cast<Session*>(self);
        const size_t length = size * count;
        const QByteArray line = QByteArray(data, qsizetype(length)).trimmed();
        if (line.startsWith("HTTP/")) {
            s->statusLine = line;
            if (s->requestStarting) {
                s->report(Event::ResponseStarted);
            }
        } else if (line.size() >= 4 && std::isdigit(uchar(line[0])) &&
                   std::isdigit(uchar(line[1])) && std::isdigit(uchar(line[2])) &&
                   (line[3] == ' ' || line[3] == '-')) {
            s->ftpReply = line;
        }
        return length;
    }

    // Returning less than `length` ends the transfer (CURLE_WRITE_ERROR) and closes its
    // connection.
    static size_t onBody(char* data, size_t size, size_t count, void* self) {
        auto* s = static_cast<Session*>(self);
        const size_t length = size * count;
        if (s->job.isCancelled()) {
            return 0;
        }
        s->report(Event::ResponseStarted);
        if (s->job.stopAtFirstBytes) {
            s->proven = true;  // but for an error page: failure() reads its status first
            return 0;
        }
        s->received += qint64(length);
        if (s->job.bodyLimit >= 0 && s->received > s->job.bodyLimit) {
            s->overLimit = true;
            return 0;
        }
        if (s->job.keepBody) {
            s->body.append(data, qsizetype(length));
        }
        return length;
    }

    QString failure(CURLcode result) const;
};

// Why the finished exchange failed, or empty when it succeeded.
QString Session::failure(CURLcode result) const {
    if (overLimit || result == CURLE_FILESIZE_EXCEEDED) {
        return QStringLiteral("The answer is larger than %1 bytes.").arg(job.bodyLimit);
    }
    if (speaksHttp() && responseCode() >= 400) {
        const long status = responseCode();
        if (statusLine.isEmpty()) {
            return QStringLiteral("HTTP %1").arg(status);
        }
        // "HTTP/1.1 404 Not Found": drop the version, keep the code and the reason.
        const qsizetype space = statusLine.indexOf(' ');
        return QStringLiteral("HTTP ") + QString::fromLatin1(statusLine.mid(space + 1).trimmed());
    }
    if (result == CURLE_OK || proven) {
        return QString();
    }
    if (result == CURLE_OPERATION_TIMEDOUT) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        curl_off_t connected = 0;
        curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connected);
        if (elapsed >= job.timeLimitMs) {
            return QStringLiteral("No whole answer within %1 seconds, the time limit.")
                .arg(double(job.timeLimitMs) / 1000.0);
        }
        if (connected > 0) {
            return QStringLiteral("The transfer stalled: less than a byte a second for %1 seconds.")
                .arg(job.stallSeconds);
        }
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

void run(CurlJob& job) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    Session s(job);
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    s.easy = easy;

    CURLcode setup = (easy == nullptr || multi == nullptr) ? CURLE_FAILED_INIT : CURLE_OK;
    const auto set = [&](CURLoption option, auto value) {
        if (setup == CURLE_OK) {
            setup = curl_easy_setopt(easy, option, value);
        }
    };
    set(CURLOPT_ERRORBUFFER, s.errorBuffer);
    set(CURLOPT_URL, job.url.constData());
    set(CURLOPT_PROTOCOLS_STR, kProtocols);
    set(CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, job.maxRedirects);
    set(CURLOPT_CONNECTTIMEOUT_MS, job.connectTimeoutMs);
    set(CURLOPT_TIMEOUT_MS, job.timeLimitMs);
    set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(CURLOPT_LOW_SPEED_TIME, job.stallSeconds);
    set(CURLOPT_SERVER_RESPONSE_TIMEOUT, job.stallSeconds);
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_QUICK_EXIT, 1L);
    set(CURLOPT_USERAGENT, "Orvane Editor");
    if (job.bodyLimit >= 0) {
        set(CURLOPT_MAXFILESIZE_LARGE, curl_off_t(job.bodyLimit));
    }
    if (!job.caInfo.isEmpty()) {
        set(CURLOPT_CAINFO, job.caInfo.constData());
    }
    set(CURLOPT_RESOLVER_START_FUNCTION, &Session::onResolverStart);
    set(CURLOPT_RESOLVER_START_DATA, &s);
    set(CURLOPT_OPENSOCKETFUNCTION, &Session::onOpenSocket);
    set(CURLOPT_OPENSOCKETDATA, &s);
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &Session::onProgress);
    set(CURLOPT_XFERINFODATA, &s);
    set(CURLOPT_PREREQFUNCTION, &Session::onRequestStart);
    set(CURLOPT_PREREQDATA, &s);
    set(CURLOPT_HEADERFUNCTION, &Session::onHeader);
    set(CURLOPT_HEADERDATA, &s);
    set(CURLOPT_WRITEFUNCTION, &Session::onBody);
    set(CURLOPT_WRITEDATA, &s);

    // Only libcurl's done message makes a transfer a success.
    CURLcode result = setup == CURLE_OK ? CURLE_FAILED_INIT : setup;
    bool added = false;
    if (setup == CURLE_OK) {
        job.setWake([multi] { curl_multi_wakeup(multi); });
        added = curl_multi_add_handle(multi, easy) == CURLM_OK;
        bool done = false;
        while (added && !done && !job.isCancelled()) {
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
            if (done || running == 0 ||
                curl_multi_poll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK) {
                break;
            }
        }
    }

    const QString error = s.failure(result);
    if (error.isEmpty()) {
        s.report(Event::Succeeded,
                 s.downgraded ? QStringLiteral("The secure (https) link was sent on to a plain "
                                               "http address: the link was downgraded.")
                              : QString());
    } else {
        s.report(Event::Failed, error);
    }
    s.report(Event::Disconnecting);
    if (added) {
        curl_multi_remove_handle(multi, easy);
    }
    if (easy != nullptr) {
        curl_easy_cleanup(easy);
    }
    s.easy = nullptr;
    job.setWake(nullptr);
    if (multi != nullptr) {
        curl_multi_cleanup(multi);  // closes the connection (an FTP QUIT)
    }
    s.report(Event::Disconnected);
    if (!job.isCancelled()) {
        // A failed fetch hands over no body: part of one is no answer.
        job.onFinished(error.isEmpty() ? s.body : QByteArray(), error);
    }
}

}  // namespace

extern "C" Q_DECL_EXPORT void orvane_curl_run_1(CurlJob& job) {
    run(job);
}
