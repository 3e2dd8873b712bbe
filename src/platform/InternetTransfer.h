#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The Internet transfer component: fetches one address at a time without blocking the
// caller, and reports every stage of the exchange as a state number.
class InternetTransfer : public QObject {
    Q_OBJECT
public:
    // The protocol spoken to the address's host, port and path. AsAddress (the initial
    // value) takes it from the address's own scheme.
    enum Protocol { AsAddress = 0, FTP = 2, HTTP = 4, HTTPS = 5 };

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

    // The body a fetch keeps unless told otherwise: enough for a small text file.
    static constexpr qint64 DefaultBodyLimit = 64 * 1024;

    using QObject::QObject;
    ~InternetTransfer() override = default;

    virtual void setProtocol(int protocol) = 0;
    virtual int protocol() const = 0;
    // Starts fetching `url` and returns at once; a fetch still running is cancelled first.
    virtual void openUrl(const QString& url) = 0;
    // Stops the running fetch; no signal of it arrives afterwards.
    virtual void cancel() = 0;

    // The most body bytes a fetch accepts; a longer body fails it (state 11). Negative: no
    // limit, for a fetch that does not keep the body.
    void setBodyLimit(qint64 bytes) { bodyLimit_ = bytes; }
    qint64 bodyLimit() const { return bodyLimit_; }
    // Whether finished() carries the body, or only says that it arrived.
    void setKeepBody(bool keep) { keepBody_ = keep; }
    bool keepBody() const { return keepBody_; }
    // Whether the first body bytes of a successful answer end the exchange: they prove the
    // address works, however long the rest (a large file, an endless stream).
    void setStopAtFirstBytes(bool stop) { stopAtFirstBytes_ = stop; }
    bool stopAtFirstBytes() const { return stopAtFirstBytes_; }

    // Why the latest fetch failed, in words for the user ("HTTP 404 Not Found"); set before
    // state 11 is reported, empty after a fetch starts.
    QString errorString() const { return errorString_; }
    // What the user should know about the latest fetch although it did not fail (a secure
    // address sent on to a plain one); set before state 8 is reported, empty after a fetch
    // starts.
    QString notice() const { return notice_; }

signals:
    // Delivered on the thread that owns this object, in the order of the exchange.
    void stateChanged(int state);
    // The last signal of a fetch that was not cancelled: the body kept (within the limit)
    // and an empty error text, or an empty body and the reason it failed.
    void finished(const QByteArray& body, const QString& error);

protected:
    void setErrorString(const QString& text) { errorString_ = text; }
    void setNotice(const QString& text) { notice_ = text; }

private:
    qint64 bodyLimit_ = DefaultBodyLimit;
    bool keepBody_ = true;
    bool stopAtFirstBytes_ = false;
    QString errorString_;
    QString notice_;
};
