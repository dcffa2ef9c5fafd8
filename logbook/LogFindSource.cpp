#include "LogFindSource.h"

#include "base/DatabaseError.h"
#include "log/LogOrder.h"
#include "log/LogQuery.h"
#include "log/LogRecord.h"

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

// The column read through Qt's driver, for a connection or values that the direct read
// leaves alone.
void TLogFindSource::readColumn(QSqlDatabase &db, int field,
                                const std::function<void(qint64, const QVariant &)> &visit) const
{
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
    while (q.next())
        visit(q.value(0).toLongLong(), q.value(1));
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
    std::unordered_set<qint64> matching;
    const auto take = [&](qint64 id, const QVariant &stored) {
        if (match(LogValueFromStorage(field, stored)))
            matching.insert(id);
    };
    if (!ReadLogColumn(db, field, m_query->Where(), m_query->WhereValues(), take))
        readColumn(db, field, take);
    if (matching.empty())
        return -1;
    for (int row = nearEnd; row < count; ++row)
        if (matching.count(m_query->IdAt(row)))
            return row;
    return -1;
}
