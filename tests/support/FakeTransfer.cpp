#include "FakeTransfer.h"

void FakeTransfer::openUrl(const QString& url) {
    openedUrls.append(url);
    protocolsUsed.append(protocol_);
    bodyLimitsUsed.append(bodyLimit());
    setErrorString(QString());
}

void FakeTransfer::report(const QList<int>& states, const QString& reason) {
    for (const int state : states) {
        if (state == Error) {
            setErrorString(reason);
        }
        emit stateChanged(state);
    }
}
