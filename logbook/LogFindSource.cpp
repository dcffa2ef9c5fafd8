#include "LogFindSource.h"

#include "base/DatabaseError.h"
#include "log/LogOrder.h"
#include "log/LogQuery.h"
#include "log/LogRecord.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>
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

namespace
{

// The match asked about stored values: texts and dates mostly from their bytes, an empty
// field (the same value in every row) once, and the rest as the grid holds them.
class StoredMatch
{
public:
    StoredMatch(int field, const TFindMatch &match) : m_field(field), m_match(match)
    {
        switch (LogFieldTypes[field]) {
        case ftString:
            m_form = TFindMatch::sfText;
            break;
        case ftDate:
            m_form = TFindMatch::sfDate;
            break;
        default:
            break;
        }
    }

    bool operator()(const TStoredCell &stored) const
    {
        if (stored.IsNull()) {
            if (!m_emptyMatches)
                m_emptyMatches = m_match(QVariant());
            return *m_emptyMatches;
        }
        if (m_form && stored.IsText())
            if (const std::optional<bool> quick = m_match.MatchesStored(*m_form, stored.Text()))
                return *quick;
        return m_match(LogValueFromStorage(m_field, stored.Value()));
    }

private:
    int m_field;
    const TFindMatch &m_match;
    std::optional<TFindMatch::TStoredForm> m_form;
    mutable std::optional<bool> m_emptyMatches;
};

} // namespace

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
        throw SqlFailure(db, q.lastError(), QStringLiteral("Chyba při čtení deníku!"));
    const QVariantList values = m_query->WhereValues();
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec())
        throw SqlFailure(db, q.lastError(), QStringLiteral("Chyba při čtení deníku!"));
    while (q.next())
        visit(q.value(0).toLongLong(), q.value(1));
}

int TLogFindSource::FindFrom(int from, int field, const Match &match) const
{
    const int count = RecordCount();
    from = std::max(0, from);
    if (from >= count || field < 0 || field >= LogFieldCount)
        return TFindSource::FindFrom(from, field, match);
    QSqlDatabase db = QSqlDatabase::database(m_query->ConnectionName(), false);
    const StoredMatch matches(field, match);

    // The rows near by, one by one: a match close to the current record is found without
    // reading the whole column.
    const int nearEnd = std::min(count, from + NearRows);
    std::vector<qint64> nearIds;
    nearIds.reserve(size_t(nearEnd - from));
    for (int row = from; row < nearEnd; ++row)
        nearIds.push_back(m_query->IdAt(row));
    int found = -1;
    int row = from;
    const bool read = ReadLogValues(db, field, nearIds, [&](const TStoredCell &stored) {
        if (matches(stored))
            found = row;
        ++row;
        return found < 0;
    });
    if (!read) {
        for (row = from; row < nearEnd && found < 0; ++row)
            if (match(m_query->ValueAt(row, field)))
                found = row;
    }
    if (found >= 0 || nearEnd >= count)
        return found;

    // The IDs of every QSO of the query whose field matches, from one read of the column.
    std::unordered_set<qint64> matching;
    if (!ReadLogColumn(db, field, m_query->Where(), m_query->WhereValues(),
                       [&](qint64 id, const TStoredCell &stored) {
                           if (matches(stored))
                               matching.insert(id);
                       }))
        readColumn(db, field, [&](qint64 id, const QVariant &stored) {
            if (match(LogValueFromStorage(field, stored)))
                matching.insert(id);
        });
    if (matching.empty())
        return -1;
    for (row = nearEnd; row < count; ++row)
        if (matching.count(m_query->IdAt(row)))
            return row;
    return -1;
}
