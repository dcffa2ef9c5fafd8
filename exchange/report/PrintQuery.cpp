#include "report/PrintQuery.h"

#include "base/DatabaseError.h"

#include <QFileInfo>
#include <QSqlError>

TPrintQuery::~TPrintQuery()
{
    Close();
}

void TPrintQuery::Open(const QString &tableFile, const QStringList &orderBy)
{
    Close();
    QStringList order;
    for (const QString &item : orderBy) {
        const QStringList words = item.simplified().split(u' ');
        const int field = LogFieldIndex(words.value(0));
        const bool desc =
            words.size() == 2 && words[1].compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
        if (field < 0 || words.size() > 2 || (words.size() == 2 && !desc))
            throw EDatabaseError(QStringLiteral("Neznámé pole řazení \"%1\"!").arg(item));
        order << LogFieldNames[field] + (desc ? QStringLiteral(" DESC") : QString());
    }
    order << QStringLiteral("ID"); // equal rows in the order they were stored
    m_connection.open(tableFile, LogConnection::OpenReadOnly);
    auto query = std::make_unique<QSqlQuery>(m_connection.database());
    query->setForwardOnly(true);
    if (!query->exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                         .arg(LogFieldListSql(), LogTableName, order.join(u',')))) {
        // The table is a temporary one of the program's or the log: told by the
        // failure's kind, never in SQLite's words.
        const EDatabaseError failure =
            SqlFailure(m_connection.database(), query->lastError(), QStringLiteral("Tabulku nelze přečíst!"));
        query.reset();
        m_connection.close();
        throw failure;
    }
    m_query = std::move(query);
}

void TPrintQuery::Close()
{
    m_query.reset();
    m_connection.close();
}

bool TPrintQuery::Next(TLogRecord &record)
{
    if (!m_query || !m_query->next())
        return false;
    for (int field = 0; field < LogFieldCount; ++field)
        record[field] = LogValueFromStorage(field, m_query->value(field));
    return true;
}
