#include "FakeTransfer.h"

void FakeTransfer::openUrl(const QString& url) {
    openedUrls.append(url);
    protocolsUsed.append(protocol_);
    bodyLimitsUsed.append(bodyLimit());
    setErrorString(QString());
    running = true;
}

void FakeTransfer::cancel() {
    ++cancelCount;
    running = false;
}

void FakeTransfer::report(int state, const QString& reason) {
    if (state == Error) {
        setErrorString(reason);
    }
    emit stateChanged(state);
}

void FakeTransfer::reportAll(const QList<int>& states) {
    for (const int state : states) {
        report(state);
    }
}

void FakeTransfer::finish(const QByteArray& body, const QString& error) {
    running = false;
    emit finished(body, error);
}
