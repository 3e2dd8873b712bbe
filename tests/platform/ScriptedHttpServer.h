#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpServer;
class QTcpSocket;

// An HTTP server on 127.0.0.1 that answers each path with a scripted raw reply, over TLS
// when given a certificate. It lives on the test's thread.
class ScriptedHttpServer : public QObject {
    Q_OBJECT
public:
    // What happens after the scripted bytes are written.
    enum class Ending { Close, Stall, Endless };
    struct Reply {
        QByteArray bytes;  // status line, headers and (part of) the body
        Ending ending = Ending::Close;
    };

    // Plain HTTP, or HTTPS with the PEM files `certificate` and `key`.
    explicit ScriptedHttpServer(const QString& certificate = QString(),
                                const QString& key = QString(), QObject* parent = nullptr);
    ~ScriptedHttpServer() override;
    Q_DISABLE_COPY_MOVE(ScriptedHttpServer)

    bool listen();
    quint16 port() const;
    // "http://127.0.0.1:port/path", or "https://localhost:port/path" over TLS.
    QString url(const QString& path) const;

    void route(const QByteArray& path, const Reply& reply) { routes_.insert(path, reply); }
    static Reply status(int code, const QByteArray& reason, const QByteArray& body,
                        const QByteArray& extraHeaders = QByteArray());
    static Reply redirect(const QByteArray& location);

    QList<QByteArray> requestedPaths;

private:
    void accept();
    void readRequest(QTcpSocket* socket);
    void feedEndless(QTcpSocket* socket);

    QTcpServer* server_;
    bool tls_;
    QHash<QByteArray, Reply> routes_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QList<QPointer<QTcpSocket>> sockets_;
};
