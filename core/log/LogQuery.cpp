#include "log/LogQuery.h"

#include "base/DatabaseError.h"
#include "base/Formats.h"
#include "log/LogOrder.h"
#include "log/LogRowView.h"
#include "base/SqliteHandle.h"
#include "base/SqlitePageCache.h"
#include "base/SqliteStatement.h"

#include <QFileInfo>
#include <QHash>
#include <QMetaMethod>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <algorithm>
#include <exception>
#include <list>
#include <optional>
#include <utility>

namespace
{

// Rows are read in pages of this many, and this many pages are kept: a few screens in
// each direction of wherever the views look, a few megabytes at most.
constexpr int PageSize = 128;
constexpr int MaxCachedPages = 32;
// RefreshRows puts up to this many rows back one by one, each for a few reads of single
// rows and a move of the list; more are read by opening the query again.
constexpr int MaxRowsRefreshed = 64;
// The list of IDs and the row index keep room for this many more rows: the QSOs saved
// after opening then go in without moving the whole list to new memory, which on a large
// log costs tens of milliseconds of fresh pages.
constexpr size_t RoomForNewRows = 4096;

struct Page {
    int index = -1;
    std::vector<TLogRecord> rows;
    QString error; // not empty: the page could not be read, its rows hold their IDs only
};

// Whether a failed read leaves the query's rows as they were: only while another program
// holds the log, which is whole, only not to be read now. Any other failure closes it.
bool keepsRowsAfter(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const EDatabaseError &e) {
        return e.kind() == TDatabaseFailure::Busy;
    } catch (...) {
        return false;
    }
}

// Told by its kind (another program holds the log, a damaged file), never in SQLite's words.
[[noreturn]] void queryFailed(const QSqlDatabase &db, const QSqlError &error)
{
    throw SqlFailure(db, error,
                     QStringLiteral("Chyba při čtení deníku \"%1\"!").arg(QFileInfo(db.databaseName()).fileName()));
}

// The order as SQL, with ID as the last key so that rows equal in every listed field keep
// a fixed order. Under a condition the keys are written as expressions ("+DAT"): SQLite
// then reads the matching rows in one pass and sorts them, instead of walking an ordering
// index and fetching every row of the log out of order, which takes seconds on a large log.
QString orderSql(const QStringList &order, bool filtered)
{
    return LogOrderSql(ParseLogOrder(order), filtered);
}

} // namespace

struct LogQuery::Private {
    LogQuery *q = nullptr;
    QString connectionName;
    QString where;
    QVariantList whereValues;
    QStringList orderBy;
    QHash<int, QString> displayFormats;

    bool active = false;
    std::vector<qint64> ids;
    int pos = -1;
    bool bof = true;
    bool eof = true;

    int disableCount = 0;
    bool pendingReset = false;
    bool pendingScroll = false;
    // Rows that RefreshRows took out or put in, in order, not yet told to the views, and
    // the list as the views last saw it.
    struct RowEdit {
        bool inserted;
        int row;
        qint64 id;
    };
    std::vector<RowEdit> pendingRowEdits;

    // Row of each ID, built when first asked for on a larger result: a table indexed by
    // ID when the IDs lie close together (the usual case), else (ID, row) pairs sorted
    // by ID. Either costs at most about 16 bytes per row.
    mutable bool rowIndexBuilt = false;
    mutable qint64 minId = 0;
    mutable std::vector<int> rowById;
    mutable std::vector<std::pair<qint64, int>> rowsSortedById;
    qint64 maxId = 0; // no listed ID is greater

    mutable std::list<Page> pages; // most recently used first
    mutable std::optional<QSqlQuery> pageQuery;
    mutable std::optional<TSqliteStatement> pageStatement;
    mutable sqlite3 *pageHandle = nullptr; // the connection pageStatement was made on
    mutable QString readError; // the first failed view read since opening

    QSqlDatabase database() const
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        if (!db.isOpen())
            throw EDatabaseError(QStringLiteral("Deník není otevřen!"));
        return db;
    }

    bool filtered() const { return !where.trimmed().isEmpty(); }

    QString fromWhere() const
    {
        QString sql = QStringLiteral(" FROM ") + LogTableName;
        if (!where.trimmed().isEmpty())
            sql += QStringLiteral(" WHERE (") + where + u')';
        return sql;
    }

    void bindWhere(QSqlQuery &q) const
    {
        for (int i = 0; i < whereValues.size(); ++i)
            q.bindValue(i, whereValues[i]);
    }

    void clearCache() const
    {
        pages.clear();
        pageQuery.reset();
        pageStatement.reset();
        rowIndexBuilt = false;
        rowById = {};
        rowsSortedById = {};
        readError.clear();
    }

    // Takes out (inserted false) or puts in one ID at `row`, keeping what was read of the
    // rows before it: the cached pages that end before the row, and the row index, whose
    // entries change only for the rows from there on. A saved QSO usually lands near the
    // end of the list, so this costs little however long the log is.
    void applyEdit(bool inserted, int row, qint64 id)
    {
        if (inserted)
            ids.insert(ids.begin() + row, id);
        else
            ids.erase(ids.begin() + row);
        if (inserted && id > maxId)
            maxId = id;
        pages.remove_if([row](const Page &page) { return (page.index + 1) * PageSize > row; });
        if (!rowIndexBuilt)
            return;
        if (rowById.empty() || id < minId) {
            rowIndexBuilt = false; // the sorted pairs (or a table that would have to move) are built again
            rowById = {};
            rowsSortedById = {};
            return;
        }
        const size_t slot = static_cast<size_t>(id - minId);
        if (slot >= rowById.size())
            rowById.resize(slot + 1, -1);
        if (!inserted)
            rowById[slot] = -1;
        for (size_t r = static_cast<size_t>(row); r < ids.size(); ++r)
            rowById[static_cast<size_t>(ids[r] - minId)] = static_cast<int>(r);
    }

    // Whether the ID may be in the list, and where: the row index when it is at hand, else
    // a scan, which an ID above every listed one (a new QSO) does not need.
    int findRow(qint64 id) const
    {
        if (rowIndexBuilt)
            return rowOfId(id);
        if (id > maxId)
            return -1;
        const auto it = std::find(ids.begin(), ids.end(), id);
        return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
    }

    void buildRowIndex() const
    {
        const auto [lo, hi] = std::minmax_element(ids.begin(), ids.end());
        minId = *lo;
        const qint64 span = *hi - *lo + 1;
        if (span <= 4 * static_cast<qint64>(ids.size()) + 4096) {
            rowById.reserve(static_cast<size_t>(span) + RoomForNewRows);
            rowById.assign(static_cast<size_t>(span), -1);
            for (size_t row = 0; row < ids.size(); ++row)
                rowById[static_cast<size_t>(ids[row] - minId)] = static_cast<int>(row);
        } else {
            rowsSortedById.reserve(ids.size());
            for (size_t row = 0; row < ids.size(); ++row)
                rowsSortedById.emplace_back(ids[row], static_cast<int>(row));
            std::sort(rowsSortedById.begin(), rowsSortedById.end());
        }
        rowIndexBuilt = true;
    }

    int rowOfId(qint64 id) const
    {
        if (id <= 0 || ids.empty())
            return -1;
        // A short result is searched directly; an index would cost more than it saves.
        if (ids.size() <= 2048) {
            const auto it = std::find(ids.begin(), ids.end(), id);
            return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
        }
        if (!rowIndexBuilt)
            buildRowIndex();
        if (!rowById.empty()) {
            if (id < minId || id - minId >= static_cast<qint64>(rowById.size()))
                return -1;
            return rowById[static_cast<size_t>(id - minId)];
        }
        const auto it = std::lower_bound(rowsSortedById.begin(), rowsSortedById.end(), std::make_pair(id, 0));
        return it != rowsSortedById.end() && it->first == id ? it->second : -1;
    }

    const Page &page(int index) const
    {
        for (auto it = pages.begin(); it != pages.end(); ++it) {
            if (it->index == index) {
                if (it != pages.begin())
                    pages.splice(pages.begin(), pages, it);
                return pages.front();
            }
        }
        if (static_cast<int>(pages.size()) >= MaxCachedPages)
            pages.pop_back();
        pages.push_front(readPage(index));
        return pages.front();
    }

    // A page that cannot be read is kept with its error, so that a damaged part of the
    // file costs one failed read, not one per cell shown.
    Page readPage(int index) const
    {
        try {
            return fetchPage(index);
        } catch (const EDatabaseError &e) {
            Page failed;
            failed.index = index;
            const int first = index * PageSize;
            const int count = std::min<int>(PageSize, static_cast<int>(ids.size()) - first);
            failed.rows.resize(count);
            for (int i = 0; i < count; ++i)
                failed.rows[i][fiID] = ids[first + i];
            failed.error = e.message();
            return failed;
        }
    }

    // Reads the rows of one page with one prepared statement over their IDs; a short last
    // page binds ID 0, which no row has. Read on SQLite's own interface, a page costs a
    // fraction of what a QVariant per value costs (the grid reads one after every saved
    // QSO); when that read fails, the page is read through Qt, which words the failure.
    Page fetchPage(int index) const
    {
        if (std::optional<Page> page = fetchPageDirect(index))
            return std::move(*page);
        return fetchPageThroughQt(index);
    }

    std::optional<Page> fetchPageDirect(int index) const
    {
        try {
            const QSqlDatabase db = database();
            sqlite3 *handle = SqliteHandle(db);
            if (!pageStatement || handle != pageHandle) {
                pageStatement.reset();
                pageStatement.emplace(db, pageSql(), QString());
                pageHandle = handle;
            }
            TSqliteStatement &q = *pageStatement;
            sqlite3_stmt *stmt = q.get();
            const auto reset = qScopeGuard([stmt] { sqlite3_reset(stmt); });
            Page page;
            page.index = index;
            const int first = index * PageSize;
            const int count = std::min<int>(PageSize, static_cast<int>(ids.size()) - first);
            page.rows.resize(count);
            for (int i = 0; i < PageSize; ++i) {
                const qint64 id = i < count ? ids[first + i] : 0;
                q.BindInt(i, id);
                if (i < count)
                    page.rows[i][fiID] = id; // a row deleted meanwhile keeps its ID only
            }
            const TLogRowView view(q);
            while (q.Step()) {
                const qint64 id = sqlite3_column_int64(stmt, fiID);
                // The page's IDs lie in order of their rows: found by a short search.
                const auto at = std::find(ids.begin() + first, ids.begin() + first + count, id);
                if (at == ids.begin() + first + count)
                    continue;
                TLogRecord &record = page.rows[static_cast<size_t>(at - (ids.begin() + first))];
                for (int field = 1; field < LogFieldCount; ++field)
                    record[field] = view.Value(field);
            }
            return page;
        } catch (const EDatabaseError &) {
            pageStatement.reset();
            return std::nullopt;
        }
    }

    static QString pageSql()
    {
        QStringList marks;
        for (int i = 0; i < PageSize; ++i)
            marks << QStringLiteral("?");
        return QStringLiteral("SELECT %1 FROM %2 WHERE ID IN (%3)")
            .arg(LogFieldListSql(), LogTableName, marks.join(u','));
    }

    Page fetchPageThroughQt(int index) const
    {
        const QSqlDatabase db = database();
        if (!pageQuery) {
            pageQuery.emplace(db);
            pageQuery->setForwardOnly(true);
            if (!pageQuery->prepare(pageSql())) {
                const QSqlError error = pageQuery->lastError();
                pageQuery.reset();
                queryFailed(db, error);
            }
        }
        Page page;
        page.index = index;
        const int first = index * PageSize;
        const int count = std::min<int>(PageSize, static_cast<int>(ids.size()) - first);
        page.rows.resize(count);
        QHash<qint64, int> slotOfId;
        slotOfId.reserve(count);
        for (int i = 0; i < PageSize; ++i) {
            const qint64 id = i < count ? ids[first + i] : 0;
            pageQuery->bindValue(i, id);
            if (i < count) {
                slotOfId.insert(id, i);
                page.rows[i][fiID] = id; // a row deleted meanwhile keeps its ID only
            }
        }
        if (!pageQuery->exec())
            queryFailed(db, pageQuery->lastError());
        const auto finish = qScopeGuard([this] { pageQuery->finish(); });
        while (pageQuery->next()) {
            const int slot = slotOfId.value(pageQuery->value(fiID).toLongLong(), -1);
            if (slot < 0)
                continue;
            TLogRecord &record = page.rows[slot];
            for (int field = 1; field < LogFieldCount; ++field)
                record[field] = LogValueFromStorage(field, pageQuery->value(field));
        }
        // A damaged page of the file shows up as an error in the middle of the rows.
        if (pageQuery->lastError().isValid())
            queryFailed(db, pageQuery->lastError());
        return page;
    }

    // Room for every row of the whole log and the QSOs saved later, as far as its IDs tell:
    // a list that grows as it is read moves a large log's IDs several times and takes twice
    // their memory, and fresh memory costs more than reading the IDs. An unfiltered list
    // fills it; a log whose IDs are far apart (many QSOs deleted) gets no more than this.
    size_t expectedCapacity(const QSqlDatabase &db) const
    {
        if (filtered())
            return 0;
        constexpr qint64 MostReserved = qint64(1) << 24;
        return static_cast<size_t>(std::clamp<qint64>(LogIdSpan(db), 0, MostReserved)) + RoomForNewRows;
    }

    // The ordered IDs of the rows the query selects.
    std::vector<qint64> readIds() const
    {
        const TLogOrder order = ParseLogOrder(orderBy);
        const QSqlDatabase db = database();
        // The whole log's order passes through SQLite's small cache, not the log's.
        const TSqlitePageCache scanCache(db, TSqlitePageCache::SqliteDefault);
        if (!filtered()) {
            if (std::optional<std::vector<qint64>> sorted = SortLogInMemory(db, order))
                return std::move(*sorted);
        } else if (std::optional<std::vector<qint64>> selected = OrderSelectedIds(db, order, where, whereValues)) {
            return std::move(*selected);
        }
        const QString select =
            QStringLiteral("SELECT ID") + fromWhere() + QStringLiteral(" ORDER BY ") + LogOrderSql(order, filtered());
        if (std::optional<std::vector<qint64>> read = ReadLogIds(db, select, whereValues, expectedCapacity(db)))
            return std::move(*read);
        std::vector<qint64> result;
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.prepare(select))
            queryFailed(db, q.lastError());
        bindWhere(q);
        if (!q.exec())
            queryFailed(db, q.lastError());
        while (q.next())
            result.push_back(q.value(0).toLongLong());
        if (q.lastError().isValid())
            queryFailed(db, q.lastError());
        return result;
    }

    // The row, or nullptr when out of range; raises the page's error.
    const TLogRecord *row(int r) const
    {
        if (r < 0 || r >= static_cast<int>(ids.size()))
            return nullptr;
        const Page &p = page(r / PageSize);
        if (!p.error.isEmpty())
            throw EDatabaseError(p.error);
        return &p.rows[r % PageSize];
    }

    // The row for a view, or nullptr when out of range; a row of a page that could not be
    // read holds its ID only, and the failure is announced once.
    const TLogRecord *viewRow(int r, bool *ok) const
    {
        if (ok)
            *ok = true;
        if (r < 0 || r >= static_cast<int>(ids.size()))
            return nullptr;
        const Page &p = page(r / PageSize);
        if (!p.error.isEmpty()) {
            if (ok)
                *ok = false;
            announceReadError(p.error);
        }
        return &p.rows[r % PageSize];
    }

    void announceReadError(const QString &message) const
    {
        if (!readError.isEmpty())
            return;
        readError = message;
        QMetaObject::invokeMethod(
            q, [query = q, message] { emit query->readFailed(message); }, Qt::QueuedConnection);
    }
};

namespace
{

// Reads the sort keys of single rows by their ID: any row of the log, or only one that the
// query's condition selects.
class RowKeyReader
{
public:
    RowKeyReader(const QSqlDatabase &db, const QString &where, const QVariantList &whereValues,
                 const TLogOrder &order)
        : m_db(db), m_keys(order.size()), m_any(m_db), m_selected(m_db), m_whereValues(whereValues)
    {
        QStringList fields;
        for (const TOrderTerm &term : order)
            fields << LogFieldNames[term.field];
        const QString select = QStringLiteral("SELECT %1 FROM %2 WHERE ").arg(fields.join(u','), LogTableName);
        prepare(m_any, select + QStringLiteral("ID = ?"));
        QString condition = QStringLiteral("ID = ?");
        if (!where.trimmed().isEmpty())
            condition = u'(' + where + QStringLiteral(") AND ") + condition;
        else
            m_whereValues.clear();
        prepare(m_selected, select + condition);
    }

    // The keys of a row that is in the list (and so in the log).
    const QVariantList &read(qint64 id)
    {
        m_any.bindValue(0, id);
        if (!fetch(m_any, m_row))
            m_row = QVariantList(qsizetype(m_keys)); // gone meanwhile: NULL keys put it first
        return m_row;
    }

    // False when the row is not in the log or the condition leaves it out.
    bool readIfSelected(qint64 id, QVariantList &keys)
    {
        for (int i = 0; i < m_whereValues.size(); ++i)
            m_selected.bindValue(i, m_whereValues[i]);
        m_selected.bindValue(int(m_whereValues.size()), id);
        return fetch(m_selected, keys);
    }

private:
    void prepare(QSqlQuery &q, const QString &sql)
    {
        q.setForwardOnly(true);
        if (!q.prepare(sql))
            queryFailed(m_db, q.lastError());
    }

    bool fetch(QSqlQuery &q, QVariantList &keys)
    {
        if (!q.exec())
            queryFailed(m_db, q.lastError());
        const bool found = q.next();
        if (found) {
            keys.resize(qsizetype(m_keys));
            for (size_t i = 0; i < m_keys; ++i)
                keys[qsizetype(i)] = q.value(int(i));
        }
        q.finish();
        return found;
    }

    QSqlDatabase m_db;
    size_t m_keys;
    QSqlQuery m_any;
    QSqlQuery m_selected;
    QVariantList m_whereValues;
    QVariantList m_row;
};

} // namespace

LogQuery::LogQuery(QObject *parent) : QObject(parent), d(std::make_unique<Private>())
{
    d->q = this;
}

LogQuery::~LogQuery() = default;

void LogQuery::SetConnectionName(const QString &connectionName)
{
    d->connectionName = connectionName;
}

QString LogQuery::ConnectionName() const
{
    return d->connectionName;
}

void LogQuery::SetWhere(const QString &condition, const QVariantList &values)
{
    d->where = condition;
    d->whereValues = values;
}

QString LogQuery::Where() const
{
    return d->where;
}

QVariantList LogQuery::WhereValues() const
{
    return d->whereValues;
}

void LogQuery::SetOrderBy(const QStringList &fields)
{
    d->orderBy = fields;
}

QStringList LogQuery::OrderBy() const
{
    return d->orderBy;
}

QStringList LogQuery::SortOrderFor(int fieldIndex)
{
    const QStringList dateTime{LogFieldNames[fiDAT], LogFieldNames[fiUTC]};
    if (fieldIndex == fiDAT || fieldIndex == fiUTC || fieldIndex < 0 || fieldIndex >= LogFieldCount)
        return dateTime;
    return QStringList{LogFieldNames[fieldIndex]} + dateTime;
}

void LogQuery::Open()
{
    // The rows are read before the old ones go: a query that cannot run again while
    // another program holds the log still shows what it showed.
    std::vector<qint64> ids;
    try {
        ids = d->readIds();
    } catch (...) {
        if (!keepsRowsAfter(std::current_exception()))
            Close();
        throw;
    }
    if (d->active)
        Close();
    // Room for the rows saved later, and no more than that.
    if (ids.capacity() < ids.size() + RoomForNewRows || ids.capacity() > ids.size() + 4 * RoomForNewRows) {
        std::vector<qint64> fitted;
        fitted.reserve(ids.size() + RoomForNewRows);
        fitted.assign(ids.begin(), ids.end());
        ids = std::move(fitted);
    }
    d->clearCache();
    d->ids = std::move(ids);
    d->maxId = d->ids.empty() ? 0 : *std::max_element(d->ids.begin(), d->ids.end());
    d->active = true;
    d->pos = d->ids.empty() ? -1 : 0;
    d->bof = true;
    d->eof = d->ids.empty();
    emit afterOpen();
    notifyReset();
}

void LogQuery::RefreshRows(const QList<qint64> &changedIds)
{
    if (!d->active) {
        Open();
        return;
    }
    // Many changes at once (an import, a long session) are read faster all anew.
    if (changedIds.size() > MaxRowsRefreshed) {
        Open();
        return;
    }
    const TLogOrder order = ParseLogOrder(d->orderBy);
    // Out first, all of them: the list then holds only rows whose keys are as they were
    // read, which the places of the others are found among.
    std::vector<qint64> changed(changedIds.begin(), changedIds.end());
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    std::vector<Private::RowEdit> edits;
    const bool followed = isSignalConnected(QMetaMethod::fromSignal(&LogQuery::viewRowEdited));
    // The list is changed in place: on a large log a copy of it would cost more than the
    // rest of the refresh. The views are later told the changes on the list as they saw it
    // last, which the edits kept undo.
    std::vector<qint64> &ids = d->ids;
    {
        // Found through the row index when one is at hand, else by a plain scan: building
        // the index would take longer than scanning for the few rows.
        std::vector<std::pair<int, qint64>> gone;
        for (qint64 id : changed) {
            const int row = d->findRow(id);
            if (row >= 0)
                gone.emplace_back(row, id);
        }
        std::sort(gone.begin(), gone.end());
        for (size_t i = 0; i < gone.size(); ++i) {
            // Its row number once the rows before it have gone.
            const int row = gone[i].first - static_cast<int>(i);
            d->applyEdit(false, row, gone[i].second);
            edits.push_back({false, row, gone[i].second});
        }
    }
    try {
        RowKeyReader reader(d->database(), d->where, d->whereValues, order);
        for (qint64 id : changed) {
            QVariantList key;
            if (!reader.readIfSelected(id, key))
                continue;
            // The first row that comes after the changed one; a new QSO usually comes after
            // the last row, which is looked at first.
            size_t lo = 0;
            size_t hi = ids.size();
            if (hi > 0 && CompareOrderKeys(order, reader.read(ids.back()), key) < 0)
                lo = hi;
            while (lo < hi) {
                const size_t mid = lo + (hi - lo) / 2;
                if (CompareOrderKeys(order, reader.read(ids[mid]), key) < 0)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            d->applyEdit(true, static_cast<int>(lo), id);
            edits.push_back({true, static_cast<int>(lo), id});
        }
    } catch (...) {
        // The list goes back to what it was, as a failed opening leaves it; else it is no
        // longer what the query selects, and the query is closed.
        if (!keepsRowsAfter(std::current_exception()))
            Close();
        for (auto edit = edits.rbegin(); edit != edits.rend() && d->active; ++edit)
            d->applyEdit(!edit->inserted, edit->row, edit->id);
        throw;
    }
    d->pos = d->ids.empty() ? -1 : 0;
    d->bof = true;
    d->eof = d->ids.empty();
    emit afterOpen();
    if (!followed) {
        notifyReset();
        return;
    }
    if (d->pendingReset)
        return; // the views are reset anyway
    d->pendingRowEdits.insert(d->pendingRowEdits.end(), edits.begin(), edits.end());
    if (d->disableCount > 0) {
        d->pendingScroll = true;
        return;
    }
    emitRowEdits();
    emit viewCurrentChanged();
}

void LogQuery::Close()
{
    const bool wasActive = d->active;
    d->clearCache();
    d->ids.clear();
    d->ids.shrink_to_fit();
    d->maxId = 0;
    d->active = false;
    d->pos = -1;
    d->bof = d->eof = true;
    if (wasActive) {
        emit afterClose();
        notifyReset();
    }
}

bool LogQuery::Active() const
{
    return d->active;
}

int LogQuery::RecordCount() const
{
    return static_cast<int>(d->ids.size());
}

bool LogQuery::IsEmpty() const
{
    return d->ids.empty();
}

int LogQuery::RecNo() const
{
    return d->pos + 1;
}

bool LogQuery::SetRecNo(int recNo)
{
    if (recNo < 1 || recNo > RecordCount())
        return false;
    moveTo(recNo - 1);
    return true;
}

int LogQuery::CurrentRow() const
{
    return d->pos;
}

bool LogQuery::Bof() const
{
    return d->bof;
}

bool LogQuery::Eof() const
{
    return d->eof;
}

void LogQuery::First()
{
    if (IsEmpty())
        return;
    moveTo(0, true, false);
}

void LogQuery::Last()
{
    if (IsEmpty())
        return;
    moveTo(RecordCount() - 1, false, true);
}

void LogQuery::Next()
{
    MoveBy(1);
}

void LogQuery::Prior()
{
    MoveBy(-1);
}

int LogQuery::MoveBy(int distance)
{
    if (IsEmpty() || distance == 0 || (distance > 0 && d->eof) || (distance < 0 && d->bof))
        return 0;
    d->bof = d->eof = false;
    const qint64 target = static_cast<qint64>(d->pos) + distance;
    int row = static_cast<int>(target);
    if (target > RecordCount() - 1) {
        row = RecordCount() - 1;
        d->eof = true;
    } else if (target < 0) {
        row = 0;
        d->bof = true;
    }
    const int moved = row - d->pos;
    d->pos = row;
    scrolled();
    return moved;
}

bool LogQuery::Locate(int field, const QVariant &value, TLocateOptions options)
{
    return Locate(QList<int>{field}, QVariantList{value}, options);
}

bool LogQuery::Locate(const QList<int> &fields, const QVariantList &values, TLocateOptions options)
{
    if (!d->active || IsEmpty() || fields.isEmpty() || fields.size() != values.size())
        return false;
    if (fields.size() == 1 && fields[0] == fiID)
        return GotoBookmark(values[0].toLongLong());

    QStringList conditions;
    QVariantList bound = d->whereValues;
    for (int i = 0; i < fields.size(); ++i) {
        const int field = fields[i];
        if (field < 0 || field >= LogFieldCount)
            return false;
        const QVariant stored = LogValueToStorage(field, values[i]);
        const QString name = LogFieldNames[field];
        const bool text = LogFieldTypes[field] == ftString;
        const QString collate =
            text && options.testFlag(loCaseInsensitive) ? QStringLiteral(" COLLATE NOCASE") : QString();
        if (stored.isNull()) {
            conditions << name + QStringLiteral(" IS NULL");
        } else if (text && options.testFlag(loPartialKey)) {
            conditions << QStringLiteral("substr(%1,1,?) = ?%2").arg(name, collate);
            bound << stored.toString().size() << stored;
        } else {
            conditions << name + QStringLiteral(" = ?") + collate;
            bound << stored;
        }
    }
    QString condition = conditions.join(QStringLiteral(" AND "));
    if (!d->where.trimmed().isEmpty())
        condition = u'(' + d->where + QStringLiteral(") AND ") + condition;

    const QSqlDatabase db = d->database();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // The first match in query order is the first row of the same order limited to one.
    if (!q.prepare(QStringLiteral("SELECT ID FROM %1 WHERE %2 ORDER BY %3 LIMIT 1")
                       .arg(LogTableName, condition, orderSql(d->orderBy, true))))
        queryFailed(db, q.lastError());
    for (int i = 0; i < bound.size(); ++i)
        q.bindValue(i, bound[i]);
    if (!q.exec())
        queryFailed(db, q.lastError());
    if (!q.next())
        return false;
    return GotoBookmark(q.value(0).toLongLong());
}

bool LogQuery::Contains(const QList<int> &fields, const QVariantList &values) const
{
    if (!d->active || IsEmpty() || fields.isEmpty() || fields.size() != values.size())
        return false;
    QStringList conditions;
    QVariantList bound;
    for (int i = 0; i < fields.size(); ++i) {
        const int field = fields[i];
        if (field < 0 || field >= LogFieldCount)
            return false;
        const QVariant stored = LogValueToStorage(field, values[i]);
        if (stored.isNull()) {
            conditions << LogFieldNames[field] + QStringLiteral(" IS NULL");
        } else {
            conditions << LogFieldNames[field] + QStringLiteral(" = ?");
            bound << stored;
        }
    }
    QString condition = conditions.join(QStringLiteral(" AND "));
    if (d->filtered()) {
        condition = u'(' + d->where + QStringLiteral(") AND ") + condition;
        bound = d->whereValues + bound;
    }
    const QSqlDatabase db = d->database();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT ID FROM %1 WHERE %2").arg(LogTableName, condition)))
        queryFailed(db, q.lastError());
    for (int i = 0; i < bound.size(); ++i)
        q.bindValue(i, bound[i]);
    if (!q.exec())
        queryFailed(db, q.lastError());
    // A row written since the query was opened is not in its result.
    while (q.next())
        if (RowOfId(q.value(0).toLongLong()) >= 0)
            return true;
    return false;
}

TBookmark LogQuery::Bookmark() const
{
    return d->pos < 0 ? 0 : d->ids[d->pos];
}

bool LogQuery::BookmarkValid(TBookmark bookmark) const
{
    return RowOfId(bookmark) >= 0;
}

bool LogQuery::GotoBookmark(TBookmark bookmark)
{
    const int row = RowOfId(bookmark);
    if (row < 0)
        return false;
    moveTo(row);
    return true;
}

qint64 LogQuery::IdAt(int row) const
{
    if (row < 0 || row >= RecordCount())
        return 0;
    return d->ids[row];
}

int LogQuery::RowOfId(qint64 id) const
{
    return d->rowOfId(id);
}

void LogQuery::DisableControls()
{
    ++d->disableCount;
}

void LogQuery::EnableControls()
{
    if (d->disableCount == 0)
        return;
    if (--d->disableCount > 0)
        return;
    const bool reset = d->pendingReset;
    const bool scroll = d->pendingScroll;
    d->pendingReset = d->pendingScroll = false;
    if (reset) {
        d->pendingRowEdits.clear();
        emit viewReset();
        return;
    }
    if (!d->pendingRowEdits.empty())
        emitRowEdits();
    if (scroll)
        emit viewCurrentChanged();
}

bool LogQuery::ControlsDisabled() const
{
    return d->disableCount > 0;
}

int LogQuery::FieldIndex(const QString &fieldName) const
{
    return LogFieldIndex(fieldName);
}

QVariant LogQuery::Value(int field) const
{
    return ValueAt(d->pos, field);
}

QVariant LogQuery::Value(const QString &fieldName) const
{
    return ValueAt(d->pos, LogFieldIndex(fieldName));
}

QVariant LogQuery::ValueAt(int row, int field) const
{
    if (field < 0 || field >= LogFieldCount || row < 0 || row >= RecordCount())
        return QVariant();
    if (field == fiID)
        return d->ids[row];
    return (*d->row(row))[field];
}

TLogRecord LogQuery::Record() const
{
    return RecordAt(d->pos);
}

TLogRecord LogQuery::RecordAt(int row) const
{
    const TLogRecord *record = d->row(row);
    return record ? *record : TLogRecord{};
}

void LogQuery::ReadRows(int firstRow, const std::function<bool(int, const TLogRecord &)> &visit) const
{
    ReadRowViews(firstRow, [&](int row, const TLogRowView &view) { return visit(row, view.Record()); });
}

void LogQuery::ReadRowViews(int firstRow, const std::function<bool(int, const TLogRowView &)> &visit) const
{
    const int count = RecordCount();
    int row = std::max(firstRow, 0);
    if (row >= count)
        return;
    const QSqlDatabase db = d->database();
    {
        // Read on SQLite's own interface: an export of a million QSOs takes 25 million
        // values, and Qt's driver would convert each one through UTF-16 into a QVariant.
        TSqliteStatement q(db,
                           QStringLiteral("SELECT ") + LogFieldListSql() + d->fromWhere() +
                               QStringLiteral(" ORDER BY ") + orderSql(d->orderBy, d->filtered()),
                           QStringLiteral("Chyba při čtení deníku \"%1\"!").arg(QFileInfo(db.databaseName()).fileName()));
        for (int i = 0; i < d->whereValues.size(); ++i)
            q.Bind(i, d->whereValues[i]);
        // The statement gives the rows of the query's order; those before the first row
        // are passed over. A row added or deleted since the query was opened breaks the
        // match with the IDs of the result, and the rest is read as RecordAt reads it.
        int stream = 0;
        const TLogRowView view(q);
        while (row < count && q.Step()) {
            const qint64 id = sqlite3_column_int64(q.get(), fiID);
            if (stream < row) {
                if (d->ids[size_t(stream++)] != id)
                    break;
                continue;
            }
            if (d->ids[size_t(row)] != id)
                break;
            ++stream;
            if (!visit(row++, view))
                return;
        }
    }
    for (; row < count; ++row) {
        const TLogRecord record = RecordAt(row);
        if (!visit(row, TLogRowView(record)))
            return;
    }
}

QString LogQuery::AsString(int field) const
{
    if (field < 0 || field >= LogFieldCount)
        return QString();
    return LogValueAsString(field, Value(field));
}

void LogQuery::SetDisplayFormat(int field, const QString &pattern)
{
    if (pattern.isEmpty())
        d->displayFormats.remove(field);
    else
        d->displayFormats.insert(field, pattern);
}

QString LogQuery::DisplayFormat(int field) const
{
    return d->displayFormats.value(field);
}

QString LogQuery::DisplayText(int field) const
{
    return DisplayTextAt(d->pos, field);
}

QVariant LogQuery::ViewValueAt(int row, int field) const
{
    if (field < 0 || field >= LogFieldCount)
        return QVariant();
    const TLogRecord *record = d->viewRow(row, nullptr);
    return record ? (*record)[field] : QVariant();
}

QString LogQuery::ViewDisplayTextAt(int row, int field) const
{
    if (field < 0 || field >= LogFieldCount)
        return QString();
    return displayText(field, ViewValueAt(row, field));
}

TLogRecord LogQuery::ViewRecordAt(int row, bool *ok) const
{
    const TLogRecord *record = d->viewRow(row, ok);
    return record ? *record : TLogRecord{};
}

QString LogQuery::ReadError() const
{
    return d->readError;
}

QString LogQuery::DisplayTextAt(int row, int field) const
{
    if (field < 0 || field >= LogFieldCount)
        return QString();
    return displayText(field, ValueAt(row, field));
}

QString LogQuery::displayText(int field, const QVariant &value) const
{
    const QString pattern = d->displayFormats.value(field);
    if (IsEmptyLogValue(value) || pattern.isEmpty())
        return LogValueAsString(field, value);
    switch (LogFieldTypes[field]) {
    case ftDate:
        return Formats::formatDate(pattern, value.toDate());
    case ftTime:
        return Formats::formatTime(pattern, value.toTime());
    case ftFloat:
        return Formats::formatFloat(pattern, value.toDouble());
    default:
        return LogValueAsString(field, value);
    }
}

void LogQuery::moveTo(int row, bool bof, bool eof)
{
    d->pos = row;
    d->bof = bof;
    d->eof = eof;
    scrolled();
}

void LogQuery::scrolled()
{
    emit afterScroll();
    if (d->disableCount > 0)
        d->pendingScroll = true;
    else
        emit viewCurrentChanged();
}

// Views that follow single rows are told the rows that went and came one by one, each
// change on the list as it was then (a view of a million rows resets slowly), while the
// query still counts as disabled: a view whose current row goes with a removed one must
// not move the query meanwhile.
void LogQuery::emitRowEdits()
{
    const std::vector<Private::RowEdit> edits = std::exchange(d->pendingRowEdits, {});
    auto apply = [this](const Private::RowEdit &edit) { d->applyEdit(edit.inserted, edit.row, edit.id); };
    // Back to the list as the views saw it: the edits undone, the last one first.
    for (auto it = edits.rbegin(); it != edits.rend(); ++it)
        apply({!it->inserted, it->row, it->id});
    ++d->disableCount;
    size_t applied = 0; // edits made on the list
    try {
        for (const Private::RowEdit &edit : edits) {
            emit viewRowAboutToBeEdited(edit.inserted, edit.row);
            apply(edit);
            ++applied;
            emit viewRowEdited(edit.inserted, edit.row);
        }
    } catch (...) {
        // The list ends as the query selects it whatever a view raised.
        for (; applied < edits.size(); ++applied)
            apply(edits[applied]);
        --d->disableCount;
        throw;
    }
    --d->disableCount;
}

void LogQuery::notifyReset()
{
    d->pendingRowEdits.clear();
    if (d->disableCount > 0)
        d->pendingReset = true;
    else
        emit viewReset();
}
