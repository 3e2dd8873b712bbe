#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The Internet transfer component: fetches one address at a time without blocking the
// caller, and reports every stage of the exchange as a state number.
class InternetTransfer : public QObject {
    Q_OBJECT
public:
    enum Protocol { FTP = 2, HTTP = 4, HTTPS = 5 };

    enum State {
        None = 0,
        ResolvingHost = 1,
        HostResolved = 2,
        Connecting = 3,
        Connected = 4,
        Requesting = 5,
        RequestSent = 6,
        ReceivingResponse = 7,
        ResponseReceived = 8,
        Disconnecting = 9,
        Disconnected = 10,
        Error = 11,
        ResponseCompleted = 12,
    };

    using QObject::QObject;
    ~InternetTransfer() override = default;

    virtual void setProtocol(int protocol) = 0;
    virtual int protocol() const = 0;
    // Starts fetching `url` and returns at once; a fetch still running is cancelled first.
    virtual void openUrl(const QString& url) = 0;
    // Stops the running fetch; no signal of it arrives afterwards.
    virtual void cancel() = 0;

signals:
    // Delivered on the thread that owns this object, in the order of the exchange.
    void stateChanged(int state);
    // The last signal of a fetch that was not cancelled: the body kept (up to the cap) and
    // an empty error text, or the reason it failed.
    void finished(const QByteArray& body, const QString& error);
};
