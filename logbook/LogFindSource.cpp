#include "LogFindSource.h"

#include "DatabaseError.h"
#include "LogQuery.h"
#include "LogRecord.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <unordered_set>

int TLogFindSource::RecordCount() const
{
    return m_query->Active() ? m_query->RecordCount() : 0;
}

int TLogFindSource::RecNo() const
{
    return m_query->RecNo();
}

void TLogFindSource::SetRecNo(int recNo)
{
    m_query->SetRecNo(recNo);
}

void TLogFindSource::DisableControls()
{
    m_query->DisableControls();
}

void TLogFindSource::EnableControls()
{
    m_query->EnableControls();
}

QVariant TLogFindSource::ValueAt(int row, int field) const
{
    return m_query->ValueAt(row, field);
}

int TLogFindSource::FindFrom(int from, int field, const Match &match) const
{
    const int count = RecordCount();
    from = std::max(0, from);
    const int nearEnd = std::min(count, from + NearRows);
    for (int row = from; row < nearEnd; ++row)
        if (match(m_query->ValueAt(row, field)))
            return row;
    if (nearEnd >= count || field < 0 || field >= LogFieldCount)
        return -1;

    // The IDs of every QSO of the query whose field matches, from one read of the column.
    QSqlDatabase db = QSqlDatabase::database(m_query->ConnectionName(), false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    QString sql = QStringLiteral("SELECT ID, %1 FROM %2").arg(LogFieldNames[field], LogTableName);
    if (!m_query->Where().trimmed().isEmpty())
        sql += QStringLiteral(" WHERE (") + m_query->Where() + u')';
    if (!q.prepare(sql))
        throw EDatabaseError(QStringLiteral("Chyba při čtení deníku!\n") + q.lastError().text());
    const QVariantList values = m_query->WhereValues();
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec())
        throw EDatabaseError(QStringLiteral("Chyba při čtení deníku!\n") + q.lastError().text());
    std::unordered_set<qint64> matching;
    while (q.next())
        if (match(LogValueFromStorage(field, q.value(1))))
            matching.insert(q.value(0).toLongLong());
    if (matching.empty())
        return -1;
    for (int row = nearEnd; row < count; ++row)
        if (matching.count(m_query->IdAt(row)))
            return row;
    return -1;
}
