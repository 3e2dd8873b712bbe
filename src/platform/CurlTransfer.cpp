#include "CurlTransfer.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QMetaObject>
#include <QPointer>
#include <QUrl>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr auto kDestructorWait = std::chrono::milliseconds(1500);

struct Module {
    CurlRunFunction run = nullptr;
    QString error;
};

Module& module() {
    static Module loaded;
    return loaded;
}

}  // namespace

struct CurlTransfer::Request {
    quint64 id = 0;
    CurlJob job;

    std::mutex mutex;
    CurlTransfer* receiver = nullptr;  // cleared by the owner's destructor
    std::mutex endMutex;
    std::condition_variable endSignal;
    bool ended = false;
    std::thread thread;  // used by the owning thread only

    // From the worker thread to the owner's.
    template <typename Call>
    void post(Call call) {
        std::lock_guard lock(mutex);
        if (receiver != nullptr) {
            CurlTransfer* target = receiver;
            QMetaObject::invokeMethod(
                target, [target, call = std::move(call)] { call(*target); }, Qt::QueuedConnection);
        }
    }
};

CurlTransfer::CurlTransfer(CurlRunFunction run, QObject* parent)
    : InternetTransfer(parent), run_(run) {}

CurlTransfer::~CurlTransfer() {
    for (const auto& request : requests_) {
        request->job.cancel();
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
    setNotice(QString());
    tracker_ = StageTracker();
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
                deliverEvent(id, StageTracker::Event::Failed, problem);
                if (self) {
                    deliverFinished(id, QByteArray(), problem);
                }
            },
            Qt::QueuedConnection);
        return;
    }

    auto request = std::make_shared<Request>();
    Request* r = request.get();
    r->id = id;
    r->job.url = address.toUtf8();
    r->job.caInfo = caInfo_.toLocal8Bit();
    r->job.connectTimeoutMs = long(connectTimeout_.count());
    r->job.stallSeconds = long(std::max<std::chrono::seconds::rep>(1, stallTimeout_.count()));
    r->job.timeLimitMs = long(timeLimit_.count());
    r->job.maxRedirects = maxRedirects_;
    r->job.bodyLimit = bodyLimit();
    r->job.keepBody = keepBody();
    r->job.stopAtFirstBytes = stopAtFirstBytes();
    r->job.onEvent = [r](StageTracker::Event event, const QString& detail) {
        r->post(
            [id = r->id, event, detail](CurlTransfer& t) { t.deliverEvent(id, event, detail); });
    };
    r->job.onFinished = [r](const QByteArray& body, const QString& error) {
        r->post([id = r->id, body, error](CurlTransfer& t) { t.deliverFinished(id, body, error); });
    };
    r->receiver = this;
    r->thread = std::thread([request, run = run_] {
        run(request->job);
        {
            std::lock_guard lock(request->endMutex);
            request->ended = true;
        }
        request->endSignal.notify_all();
        request->post([id = request->id](CurlTransfer& t) { t.deliverEnded(id); });
    });
    requests_.push_back(request);
}

void CurlTransfer::cancel() {
    if (currentId_ == 0) {
        return;
    }
    for (const auto& request : requests_) {
        if (request->id == currentId_) {
            request->job.cancel();
        }
    }
    currentId_ = 0;
}

void CurlTransfer::deliverEvent(quint64 id, StageTracker::Event event, const QString& detail) {
    if (id != currentId_) {
        return;
    }
    if (event == StageTracker::Event::Failed) {
        setErrorString(detail);
    } else if (event == StageTracker::Event::Succeeded) {
        setNotice(detail);
    }
    QPointer<CurlTransfer> self(this);
    for (const int state : tracker_.feed(event)) {
        // A slot may cancel, start another fetch or delete this object.
        if (!self || id != currentId_) {
            return;
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

std::unique_ptr<InternetTransfer> makeInternetTransfer(const QString& folder) {
    Module& loaded = module();
    if (loaded.run == nullptr) {
        // Where the program is installed, and in the build tree, the module is at the same
        // place relative to the executable.
        const QString dir = !folder.isEmpty() ? folder
                                              : QDir(QCoreApplication::applicationDirPath())
                                                    .filePath(QStringLiteral(ORVANE_MODULE_DIR));
        QLibrary library(QDir(dir).filePath(QStringLiteral("orvane-curl")));
        library.setLoadHints(QLibrary::PreventUnloadHint);
        loaded.run = reinterpret_cast<CurlRunFunction>(library.resolve(kCurlRunSymbol));
        if (loaded.run == nullptr) {
            loaded.error = QStringLiteral(
                               "The Internet transfer module of Orvane Editor could not be "
                               "loaded: %1")
                               .arg(library.errorString());
            return nullptr;
        }
        loaded.error.clear();
    }
    return std::make_unique<CurlTransfer>(loaded.run);
}

QString transferModuleError() {
    return module().error;
}
