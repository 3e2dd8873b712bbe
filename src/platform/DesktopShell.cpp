#include "DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopShell::open(const QString& address) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(address));
}
