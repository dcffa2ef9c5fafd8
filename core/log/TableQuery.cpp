#include "log/TableQuery.h"

#include "base/DatabaseError.h"
#include "base/HotJournal.h"

#include <QCollator>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <algorithm>

namespace {

[[noreturn]] void readFailed(const QString &path, const QString &detail)
{
    throw EDatabaseError(
        QStringLiteral("Tabulku \"%1\" nelze otevřít!\n%2").arg(QFileInfo(path).fileName(), detail));
}

// An identifier as SQLite reads it, whatever it holds.
QString quoted(const QString &name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

TTableQuery::TTableQuery(QObject *parent) : QObject(parent) {}

void TTableQuery::SetTable(const QString &filePath, const QString &tableName)
{
    m_filePath = filePath;
    m_tableName = tableName;
}

void TTableQuery::SetOrderBy(const QString &fieldName)
{
    m_orderBy = fieldName;
}

void TTableQuery::Open()
{
    Close();
    if (!QFileInfo(m_filePath).isFile())
        readFailed(m_filePath, QStringLiteral("Soubor neexistuje."));
    // The read-only opening below cannot undo a write that was cut short.
    QString recoveryError;
    if (RollBackHotJournal(m_filePath, &recoveryError) == TJournalRecovery::Failed)
        readFailed(m_filePath, recoveryError);
    const QString connection = QStringLiteral("VelkorTable-") + QUuid::createUuid().toString(QUuid::Id128);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(m_filePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            const QSqlRecord shape = db.record(m_tableName);
            QStringList fields;
            for (int i = 0; i < shape.count(); ++i)
                fields << shape.fieldName(i);
            const auto order = std::find_if(fields.cbegin(), fields.cend(), [this](const QString &f) {
                return f.compare(m_orderBy, Qt::CaseInsensitive) == 0;
            });
            if (fields.isEmpty()) {
                error = QStringLiteral("Tabulka \"%1\" chybí.").arg(m_tableName);
            } else if (!m_orderBy.isEmpty() && order == fields.cend()) {
                error = QStringLiteral("Neznámé pole \"%1\".").arg(m_orderBy);
            } else {
                QString sql = QStringLiteral("SELECT * FROM ") + quoted(m_tableName);
                if (!m_orderBy.isEmpty())
                    sql += QStringLiteral(" ORDER BY ") + quoted(*order) + QStringLiteral(", rowid");
                QSqlQuery q(db);
                q.setForwardOnly(true);
                if (!q.exec(sql)) {
                    error = q.lastError().text();
                } else {
                    m_fields = fields;
                    while (q.next()) {
                        std::vector<QVariant> row(fields.size());
                        for (int i = 0; i < fields.size(); ++i)
                            row[i] = q.value(i);
                        m_rows.push_back(std::move(row));
                    }
                    if (!m_orderBy.isEmpty())
                        sortTextInCzechOrder(int(order - fields.cbegin()));
                }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error.isEmpty()) {
        m_rows.clear();
        m_fields.clear();
        readFailed(m_filePath, error);
    }
    m_active = true;
    m_pos = m_rows.empty() ? -1 : 0;
    notify(true);
    emit afterScroll();
}

void TTableQuery::sortTextInCzechOrder(int field)
{
    // SQLite orders text by its bytes: capitals before small letters, and every letter
    // with a diacritic after z. A column of text is put into the order a Czech reader
    // expects (adam, Cyril, Čermák, Svoboda, Šťastný), keeping the order SQLite gave
    // for rows equal in it; a column of numbers keeps SQLite's order.
    const bool text = std::all_of(m_rows.cbegin(), m_rows.cend(), [field](const std::vector<QVariant> &row) {
        return row[field].isNull() || row[field].typeId() == QMetaType::QString;
    });
    if (!text || m_rows.size() < 2)
        return;
    const QCollator collator(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    std::vector<std::pair<QCollatorSortKey, std::size_t>> keys;
    keys.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        keys.emplace_back(collator.sortKey(m_rows[i][field].toString()), i);
    // Empty fields (NULL) stay first, as SQLite puts them.
    std::stable_sort(keys.begin(), keys.end(), [this, field](const auto &a, const auto &b) {
        const bool aNull = m_rows[a.second][field].isNull(), bNull = m_rows[b.second][field].isNull();
        if (aNull || bNull)
            return aNull && !bNull;
        return a.first.compare(b.first) < 0;
    });
    std::vector<std::vector<QVariant>> sorted;
    sorted.reserve(m_rows.size());
    for (const auto &key : keys)
        sorted.push_back(std::move(m_rows[key.second]));
    m_rows = std::move(sorted);
}

void TTableQuery::Close()
{
    if (!m_active && m_rows.empty())
        return;
    m_active = false;
    m_rows.clear();
    m_pos = -1;
    notify(true);
}

int TTableQuery::FieldIndex(const QString &fieldName) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool TTableQuery::SetRecNo(int recNo)
{
    if (recNo < 1 || recNo > RecordCount())
        return false;
    moveTo(recNo - 1);
    return true;
}

void TTableQuery::First()
{
    if (!m_rows.empty())
        moveTo(0);
}

void TTableQuery::Last()
{
    if (!m_rows.empty())
        moveTo(RecordCount() - 1);
}

void TTableQuery::Next()
{
    MoveBy(1);
}

void TTableQuery::Prior()
{
    MoveBy(-1);
}

int TTableQuery::MoveBy(int distance)
{
    if (m_rows.empty())
        return 0;
    const int target = std::clamp(m_pos + distance, 0, RecordCount() - 1);
    const int moved = target - m_pos;
    if (moved != 0)
        moveTo(target);
    return moved;
}

bool TTableQuery::Locate(const QString &fieldName, const QVariant &value)
{
    const int field = FieldIndex(fieldName);
    if (field < 0)
        return false;
    const QString wanted = value.toString();
    for (int row = 0; row < RecordCount(); ++row) {
        if (m_rows[row][field].toString() == wanted) {
            moveTo(row);
            return true;
        }
    }
    return false;
}

QVariant TTableQuery::Value(int field) const
{
    return ValueAt(m_pos, field);
}

QVariant TTableQuery::Value(const QString &fieldName) const
{
    return Value(FieldIndex(fieldName));
}

QVariant TTableQuery::ValueAt(int row, int field) const
{
    if (row < 0 || row >= RecordCount() || field < 0 || field >= int(m_rows[row].size()))
        return {};
    return m_rows[row][field];
}

void TTableQuery::DisableControls()
{
    ++m_disabled;
}

void TTableQuery::EnableControls()
{
    if (m_disabled == 0 || --m_disabled > 0)
        return;
    if (m_pendingReset)
        emit viewReset();
    else if (m_pendingScroll)
        emit viewCurrentChanged();
    m_pendingReset = m_pendingScroll = false;
}

void TTableQuery::moveTo(int row)
{
    m_pos = row;
    notify(false);
    emit afterScroll();
}

void TTableQuery::notify(bool reset)
{
    if (m_disabled > 0) {
        (reset ? m_pendingReset : m_pendingScroll) = true;
        return;
    }
    if (reset)
        emit viewReset();
    else
        emit viewCurrentChanged();
}
