#include "SystemInfoTool.h"

#include <QDir>
#include <QFileInfo>

namespace SystemInfoTool {

const QStringList& programNames() {
    static const QStringList names{
        QStringLiteral("kinfocenter"),
        QStringLiteral("hardinfo2"),
        QStringLiteral("hardinfo"),
        QStringLiteral("gnome-system-monitor"),
        QStringLiteral("mate-system-monitor"),
        QStringLiteral("xfce4-taskmanager"),
        QStringLiteral("lxtask"),
    };
    return names;
}

QString find(const QString& pathVariable) {
    const QStringList folders = pathVariable.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString& name : programNames()) {
        for (const QString& folder : folders) {
            const QFileInfo candidate(QDir(folder).filePath(name));
            if (candidate.isFile() && candidate.isExecutable()) {
                return candidate.absoluteFilePath();
            }
        }
    }
    return QString();
}

}  // namespace SystemInfoTool
