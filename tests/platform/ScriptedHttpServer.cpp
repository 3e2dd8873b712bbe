#include "ScriptedHttpServer.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
constexpr qint64 kEndlessChunk = 16 * 1024;
}

ScriptedHttpServer::ScriptedHttpServer(const QString& certificate, const QString& key,
                                       QObject* parent)
    : QObject(parent), tls_(!certificate.isEmpty()) {
    if (tls_) {
        auto* sslServer = new QSslServer(this);
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificateChain(QSslCertificate::fromPath(certificate));
        QFile keyFile(key);
        if (keyFile.open(QIODevice::ReadOnly)) {
            configuration.setPrivateKey(QSslKey(&keyFile, QSsl::Rsa));
        }
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        sslServer->setSslConfiguration(configuration);
        server_ = sslServer;
    } else {
        server_ = new QTcpServer(this);
    }
    connect(server_, &QTcpServer::pendingConnectionAvailable, this, &ScriptedHttpServer::accept);
}

ScriptedHttpServer::~ScriptedHttpServer() {
    for (const QPointer<QTcpSocket>& socket : sockets_) {
        if (socket) {
            socket->abort();
        }
    }
}

bool ScriptedHttpServer::listen() {
    return server_->listen(QHostAddress::LocalHost, 0);
}

quint16 ScriptedHttpServer::port() const {
    return server_->serverPort();
}

QString ScriptedHttpServer::url(const QString& path) const {
    return QStringLiteral("%1://%2:%3%4")
        .arg(tls_ ? QStringLiteral("https") : QStringLiteral("http"),
             tls_ ? QStringLiteral("localhost") : QStringLiteral("127.0.0.1"))
        .arg(port())
        .arg(path);
}

ScriptedHttpServer::Reply ScriptedHttpServer::status(int code, const QByteArray& reason,
                                                     const QByteArray& body,
                                                     const QByteArray& extraHeaders) {
    Reply reply;
    reply.bytes = "HTTP/1.1 " + QByteArray::number(code) + ' ' + reason +
                  "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) +
                  "\r\n" + extraHeaders + "\r\n" + body;
    return reply;
}

ScriptedHttpServer::Reply ScriptedHttpServer::redirect(const QByteArray& location) {
    return status(302, "Found", QByteArray(), "Location: " + location + "\r\n");
}

void ScriptedHttpServer::accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        sockets_.append(socket);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        readRequest(socket);
    }
}

void ScriptedHttpServer::readRequest(QTcpSocket* socket) {
    QByteArray& request = pending_[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n")) {
        return;
    }
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QByteArray path = words.size() > 1 ? words[1] : QByteArray();
    pending_.remove(socket);
    requestedPaths.append(path);

    const Reply reply = routes_.value(path, status(404, "Not Found", "no such page"));
    socket->write(reply.bytes);
    switch (reply.ending) {
        case Ending::Close:
            socket->disconnectFromHost();
            break;
        case Ending::Stall:
            break;
        case Ending::Endless:
            connect(socket, &QTcpSocket::bytesWritten, this,
                    [this, socket] { feedEndless(socket); });
            feedEndless(socket);
            break;
    }
}

void ScriptedHttpServer::feedEndless(QTcpSocket* socket) {
    if (socket->state() == QAbstractSocket::ConnectedState &&
        socket->bytesToWrite() < 4 * kEndlessChunk) {
        socket->write(QByteArray(kEndlessChunk, 'x'));
    }
}
