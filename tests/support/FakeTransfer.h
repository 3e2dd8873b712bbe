#pragma once

#include <QList>
#include <QStringList>

#include "InternetTransfer.h"

// A scripted Internet transfer component for window tests: records what the window asks of
// it and reports the states and results the test chooses, when the test chooses.
class FakeTransfer final : public InternetTransfer {
public:
    using InternetTransfer::InternetTransfer;
    using InternetTransfer::setNotice;

    void setProtocol(int protocol) override { protocol_ = protocol; }
    int protocol() const override { return protocol_; }
    void openUrl(const QString& url) override {
        openedUrls.append(url);
        protocolsUsed.append(protocol_);
        bodyLimitsUsed.append(bodyLimit());
        setErrorString(QString());
    }
    void cancel() override { ++cancelCount; }

    // Reports the states as the real component would; at state 11 `reason` becomes
    // errorString() first.
    void report(const QList<int>& states, const QString& reason = QString()) {
        for (const int state : states) {
            if (state == Error) {
                setErrorString(reason);
            }
            emit stateChanged(state);
        }
    }
    // Ends the fetch: finished(body, error).
    void finish(const QByteArray& body, const QString& error = QString()) {
        emit finished(body, error);
    }

    QStringList openedUrls;
    QList<int> protocolsUsed;  // protocol() at each openUrl
    QList<qint64> bodyLimitsUsed;
    int cancelCount = 0;

private:
    int protocol_ = AsAddress;
};
