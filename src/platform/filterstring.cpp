#include "platform/filterstring.h"

#include <QStringList>

namespace karte {

QString toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QStringList patterns;
        if (i + 1 < parts.size()) {
            for (const QString& p : parts.at(i + 1).split(QLatin1Char(';'))) {
                if (!p.trimmed().isEmpty())
                    patterns << p.trimmed();
            }
        }
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        entries << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace karte
