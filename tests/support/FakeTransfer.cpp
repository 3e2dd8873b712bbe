#include "FakeTransfer.h"

void FakeTransfer::openUrl(const QString& url) {
    openedUrls.append(url);
    protocolsUsed.append(protocol_);
    bodyLimitsUsed.append(bodyLimit());
    setErrorString(QString());
}

void FakeTransfer::cancel() {
    ++cancelCount;
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
    emit finished(body, error);
}
