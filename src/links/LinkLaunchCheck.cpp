#include "LinkLaunchCheck.h"

#include <QFile>
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

// A desktop launcher by its content: its first group, after blank and comment lines, is
// "[Desktop Entry]".
bool isLauncher(QByteArray head) {
    if (head.startsWith("\xEF\xBB\xBF")) {
        head.remove(0, 3);
    }
    for (const QByteArray& raw : head.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.isEmpty() && !line.startsWith('#')) {
            return line == "[Desktop Entry]";
        }
    }
    return false;
}

bool isProgram(const QFileInfo& file) {
    constexpr QFile::Permissions anyExecute =
        QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;
    if (hasProgramSuffix(file) || (file.permissions() & anyExecute) != 0) {
        return true;
    }
    if (!file.isFile()) {
        return false;  // a pipe or a device: reading it could wait for ever
    }
    QFile content(file.absoluteFilePath());
    if (!content.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = content.read(4096);
    return head.startsWith(
               "\x7F"
               "ELF") ||
           head.startsWith("#!") || isLauncher(head);
}

}  // namespace

QString localProgramPath(const QString& link) {
    // The same reading of the address as the desktop shell's, so what is checked is what
    // would be opened. The desktop's opener (gio) takes the path of a file: address as a
    // local path whatever host it names (localhost, this machine's name, any other), so the
    // host is not looked at.
    const QUrl url = QUrl::fromUserInput(link);
    if (url.scheme() != QLatin1String("file")) {
        return QString();
    }
    const QString path = url.path(QUrl::FullyDecoded);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists() || file.isDir()) {
        return QString();
    }
    return isProgram(file) ? path : QString();
}
