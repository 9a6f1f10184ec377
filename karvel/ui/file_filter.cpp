// SPDX-License-Identifier: MIT
#include "ui/file_filter.h"

namespace karvel::ui {

QStringList qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString label = parts[i].trimmed();
        if (label.isEmpty())
            break;  // the "||" that ends the list
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        const QString joined = patterns.join(QLatin1Char(' '));
        const QString shown = QLatin1Char('(') + parts[i + 1].trimmed() + QLatin1Char(')');
        if (label.endsWith(shown))
            filters << label.left(label.size() - shown.size()).trimmed() + QStringLiteral(" (") + joined + QLatin1Char(')');
        else
            filters << label + QStringLiteral(" (") + joined + QLatin1Char(')');
    }
    return filters;
}

}  // namespace karvel::ui
