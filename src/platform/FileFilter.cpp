#include "FileFilter.h"

#include <QStringList>

QString toQtNameFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QString patterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty()) {
            patterns = QStringLiteral("*");
        }
        // Qt reads the patterns from the last parenthesised group, so always add our own:
        // a description such as "Internet Link ( *.url )" keeps its text as the user sees it.
        result << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return result.join(QStringLiteral(";;"));
}
