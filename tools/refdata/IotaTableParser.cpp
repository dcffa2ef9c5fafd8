#include "IotaTableParser.h"

#include "RefDataError.h"

#include <QRegularExpression>
#include <QSet>

QString IotaTableParser::reference(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^([A-Z]{2})-([0-9]{3})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed().toUpper());
    return match.hasMatch() ? match.captured(1) + match.captured(2) : QString();
}

QList<IotaRow> IotaTableParser::parse(const QString &text)
{
    QList<IotaRow> rows;
    QSet<QString> seen;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char('|'));
        IotaRow row;
        row.iota = reference(fields.at(0));
        if (row.iota.isEmpty() || fields.size() < 3)
            throw RefDataError(
                QStringLiteral("iota.tbl, line %1: \"%2\" is no IOTA entry").arg(i + 1).arg(line));
        row.name = fields.at(1).trimmed();
        row.prefix = fields.at(2).trimmed().toUpper();
        const QString key = row.iota + QLatin1Char('|') + row.prefix;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        rows.append(row);
    }
    return rows;
}
