#include "document/FileDialogFilter.h"

#include <QRegularExpression>
#include <QStringList>

QString ConvertFilterToQt(const QString& engineFilter) {
    const QStringList parts = engineFilter.split(QLatin1Char('|'));
    QStringList filters;
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(trailingPatterns);
        description = description.trimmed();
        QStringList patterns;
        for (QString pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
            // Qt reads the patterns out of the parentheses; a bracket in one would end them early.
            if (pattern.isEmpty() || pattern.contains(QLatin1Char('(')) || pattern.contains(QLatin1Char(')')))
                continue;
            patterns << pattern;
        }
        if (patterns.isEmpty()) continue;
        if (description.isEmpty()) description = QStringLiteral("Files");
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    if (filters.isEmpty()) return QStringLiteral("All Files (*)");
    return filters.join(QStringLiteral(";;"));
}
