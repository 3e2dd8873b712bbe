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
        // Qt reads the patterns from the last parenthesised group: a description that already
        // ends with exactly these patterns ("Internet Link ( *.url )") is a Qt filter as it
        // stands; any other gets them added.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        const bool hasPatterns =
            description.endsWith(QLatin1Char(')')) && open >= 0 &&
            description.mid(open + 1, description.size() - open - 2).simplified() ==
                patterns.simplified();
        result << (hasPatterns ? description
                               : QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return result.join(QStringLiteral(";;"));
}
