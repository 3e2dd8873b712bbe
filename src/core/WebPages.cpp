#include "WebPages.h"

namespace WebPages {

QString makerHome() {
    return QStringLiteral(ORVANE_MAKER_HOME);
}
QString productHome() {
    return QStringLiteral(ORVANE_WEB_FOLDER);
}
QString feedback() {
    return productHome() + QStringLiteral("feedback.htm");
}
QString technicalSupport() {
    return productHome() + QStringLiteral("tech.htm");
}
QString newestVersion() {
    return productHome() + QStringLiteral("upgrade/newest.dat");
}
QString upgradePage() {
    return productHome() + QStringLiteral("upgrade.htm");
}

}  // namespace WebPages
