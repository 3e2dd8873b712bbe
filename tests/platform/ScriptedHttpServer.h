#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <utility>

class QTcpServer;
class QTcpSocket;

// An HTTP server on 127.0.0.1 that answers each path with scripted raw bytes (unknown paths
// with a 404). It lives on the test's thread.
class ScriptedHttpServer : public QObject {
    Q_OBJECT
public:
    // What happens after the scripted bytes are written.
    enum class Ending { Close, Stall, Endless };

    using QObject::QObject;
    // Plain HTTP, or HTTPS with the PEM files `certificate` and `key`.
    bool listen(const QString& certificate = QString(), const QString& key = QString());
    // "http://127.0.0.1:port/path", or "https://localhost:port/path" over TLS.
    QString url(const QString& path) const;
    void route(const QByteArray& path, const QByteArray& bytes, Ending ending = Ending::Close) {
        routes_.insert(path, {bytes, ending});
    }

private:
    void answer(QTcpSocket* socket);
    void feedEndless(QTcpSocket* socket);

    QTcpServer* server_ = nullptr;
    QHash<QByteArray, std::pair<QByteArray, Ending>> routes_;
};
