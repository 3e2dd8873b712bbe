#include "LinkLaunchCheck.h"

#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace {

// Files the desktop runs rather than shows, whatever their permission bits say.
bool hasProgramSuffix(const QFileInfo& file) {
    static const QStringList suffixes = {
        QStringLiteral("desktop"), QStringLiteral("exe"),      QStringLiteral("com"),
        QStringLiteral("bat"),     QStringLiteral("cmd"),      QStringLiteral("scr"),
        QStringLiteral("msi"),     QStringLiteral("pif"),      QStringLiteral("vbs"),
        QStringLiteral("jar"),     QStringLiteral("appimage"),
    };
    return suffixes.contains(file.suffix(), Qt::CaseInsensitive);
}

}  // namespace

QString localProgramPath(const QString& link) {
    // The same reading of the address as the desktop shell's, so what is checked is what
    // would be opened.
    const QUrl url = QUrl::fromUserInput(link);
    if (!url.isLocalFile()) {
        return QString();
    }
    const QString path = url.toLocalFile();
    const QFileInfo file(path);
    if (!file.exists() || file.isDir()) {
        return QString();
    }
    if (hasProgramSuffix(file) || file.isExecutable()) {
        return path;
    }
    return QString();
}
