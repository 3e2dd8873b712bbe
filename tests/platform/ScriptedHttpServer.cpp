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

bool ScriptedHttpServer::listen(const QString& certificate, const QString& key) {
    if (certificate.isEmpty()) {
        server_ = new QTcpServer(this);
    } else {
        auto* sslServer = new QSslServer(this);
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificateChain(QSslCertificate::fromPath(certificate));
        QFile keyFile(key);
        if (!keyFile.open(QIODevice::ReadOnly)) {
            return false;
        }
        configuration.setPrivateKey(QSslKey(&keyFile, QSsl::Rsa));
        sslServer->setSslConfiguration(configuration);
        server_ = sslServer;
    }
    connect(server_, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            answer(socket);
        }
    });
    return server_->listen(QHostAddress::LocalHost, 0);
}

QString ScriptedHttpServer::url(const QString& path) const {
    const bool tls = qobject_cast<QSslServer*>(server_) != nullptr;
    return QStringLiteral("%1://%2:%3%4")
        .arg(tls ? QStringLiteral("https") : QStringLiteral("http"),
             tls ? QStringLiteral("localhost") : QStringLiteral("127.0.0.1"))
        .arg(server_->serverPort())
        .arg(path);
}

// Answers once the whole request head has arrived.
void ScriptedHttpServer::answer(QTcpSocket* socket) {
    const QByteArray request = socket->peek(socket->bytesAvailable());
    if (!request.contains("\r\n\r\n")) {
        return;
    }
    socket->readAll();
    const QByteArray path = request.left(request.indexOf("\r\n")).split(' ').value(1);
    const auto [bytes, ending] =
        routes_.value(path, {"HTTP/1.1 404 Not Found\r\n\r\n", Ending::Close});
    socket->write(bytes);
    if (ending == Ending::Close) {
        socket->disconnectFromHost();
    } else if (ending == Ending::Endless) {
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { feedEndless(socket); });
        feedEndless(socket);
    }
}

void ScriptedHttpServer::feedEndless(QTcpSocket* socket) {
    if (socket->state() == QAbstractSocket::ConnectedState &&
        socket->bytesToWrite() < 4 * kEndlessChunk) {
        socket->write(QByteArray(kEndlessChunk, 'x'));
    }
}
