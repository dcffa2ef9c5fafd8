#include "log/LogOrder.h"

#include "base/DatabaseError.h"
#include "base/SqliteHandle.h"
#include "base/SqliteStatement.h"
#include "log/VkrDatabase.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <string>

namespace
{

// Storage classes in the order SQLite sorts them.
enum TSqlClass : quint8 { scNull, scNumber, scText, scBlob };

TSqlClass sqlClass(const QVariant &v)
{
    if (v.isNull())
        return scNull;
    switch (v.typeId()) {
    case QMetaType::QString:
        return scText;
    case QMetaType::QByteArray:
        return scBlob;
    default:
        return scNumber;
    }
}

bool isInteger(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        return true;
    default:
        return false;
    }
}

template <typename T> int threeWay(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareNumbers(const QVariant &a, const QVariant &b)
{
    if (isInteger(a) && isInteger(b))
        return threeWay(a.toLongLong(), b.toLongLong());
    // A long double holds every 64-bit integer exactly, so an integer and a real compare
    // by their true values, as in SQLite.
    const long double x = isInteger(a) ? static_cast<long double>(a.toLongLong()) : a.toDouble();
    const long double y = isInteger(b) ? static_cast<long double>(b.toLongLong()) : b.toDouble();
    return threeWay(x, y);
}

// Texts in the order of their UTF-8 bytes, which is the order of their code points: in
// UTF-16 the surrogates of the characters above U+FFFF lie below U+E000..U+FFFF and are
// moved above them for the comparison.
int compareTexts(const QString &a, const QString &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = pa[i].unicode();
        char16_t cb = pb[i].unicode();
        if (ca == cb)
            continue;
        if (ca >= 0xD800 && cb >= 0xD800) {
            auto codePointRank = [](char16_t c) { return c >= 0xE000 ? c - 0x800 : c + 0x2000; };
            return threeWay(codePointRank(ca), codePointRank(cb));
        }
        return threeWay(ca, cb);
    }
    return threeWay(a.size(), b.size());
}

// The position of each ID in a list: a table indexed by ID when the IDs lie close
// together (the usual case), else (ID, position) pairs sorted by ID.
class PositionOfId
{
public:
    explicit PositionOfId(const std::vector<qint64> &ids)
    {
        if (ids.empty())
            return;
        const auto [lo, hi] = std::minmax_element(ids.begin(), ids.end());
        m_min = *lo;
        const qint64 span = *hi - *lo + 1;
        if (span <= 4 * static_cast<qint64>(ids.size()) + 4096) {
            m_table.assign(static_cast<size_t>(span), -1);
            for (size_t i = 0; i < ids.size(); ++i)
                m_table[static_cast<size_t>(ids[i] - m_min)] = static_cast<int>(i);
        } else {
            m_pairs.reserve(ids.size());
            for (size_t i = 0; i < ids.size(); ++i)
                m_pairs.emplace_back(ids[i], static_cast<int>(i));
            std::sort(m_pairs.begin(), m_pairs.end());
        }
    }
    int operator()(qint64 id) const
    {
        if (!m_table.empty()) {
            if (id < m_min || id - m_min >= static_cast<qint64>(m_table.size()))
                return -1;
            return m_table[static_cast<size_t>(id - m_min)];
        }
        const auto it = std::lower_bound(m_pairs.begin(), m_pairs.end(), std::make_pair(id, 0));
        return it != m_pairs.end() && it->first == id ? it->second : -1;
    }

private:
    qint64 m_min = 0;
    std::vector<int> m_table;
    std::vector<std::pair<qint64, int>> m_pairs;
};

// A statement of the raw interface on the log, failing as every read of the log fails.
class Statement : public TSqliteStatement
{
public:
    Statement(const QSqlDatabase &db, const QString &sql)
        : TSqliteStatement(db, sql,
                           QStringLiteral("Chyba při čtení deníku \"%1\"!").arg(QFileInfo(db.databaseName()).fileName()))
    {
    }
    bool step() { return Step(); }
};

// One row to sort: its sort key kept compactly (a number unboxed; a text or blob as its
// first eight bytes, which decide most comparisons, and the place of all its bytes in a
// shared arena) and its position in date and time order, which breaks ties. Sorting these
// small records themselves, not indexes to them, keeps the sort in the processor's caches.
struct SortEntry {
    quint64 value = 0; // the integer, the double's bits, or the leading bytes big-endian
    quint32 offset = 0;
    quint32 length = 0;
    quint32 rank = 0;
    TSqlClass cls = scNull;
    bool integer = false;
};

// The bytes of the keys' texts and blobs, and the comparison of two keys as ORDER BY
// compares them with the binary collation.
class KeyArena
{
public:
    // The key in the column of the statement's current row, into the entry (its rank
    // left alone).
    void read(SortEntry &e, sqlite3_stmt *stmt, int column)
    {
        switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_NULL:
            break;
        case SQLITE_INTEGER:
            e.cls = scNumber;
            e.integer = true;
            e.value = static_cast<quint64>(sqlite3_column_int64(stmt, column));
            break;
        case SQLITE_FLOAT: {
            e.cls = scNumber;
            const double d = sqlite3_column_double(stmt, column);
            std::memcpy(&e.value, &d, sizeof d);
            break;
        }
        default: {
            const bool text = sqlite3_column_type(stmt, column) == SQLITE_TEXT;
            const auto *bytes = static_cast<const char *>(text ? static_cast<const void *>(sqlite3_column_text(stmt, column))
                                                                : sqlite3_column_blob(stmt, column));
            e.cls = text ? scText : scBlob;
            e.length = static_cast<quint32>(sqlite3_column_bytes(stmt, column));
            e.offset = static_cast<quint32>(m_arena.size());
            m_arena.append(bytes, e.length);
            for (quint32 i = 0; i < 8; ++i)
                e.value = (e.value << 8) | (i < e.length ? static_cast<unsigned char>(bytes[i]) : 0u);
            break;
        }
        }
    }

    // Keys of more than 4 GB do not fit the 32-bit offsets; SQLite sorts them instead.
    bool overflowed() const { return m_arena.size() > std::numeric_limits<quint32>::max(); }

    int compare(const SortEntry &x, const SortEntry &y) const
    {
        if (x.cls != y.cls)
            return threeWay(x.cls, y.cls);
        switch (x.cls) {
        case scNull:
            return 0;
        case scNumber:
            if (x.integer && y.integer)
                return threeWay(static_cast<qint64>(x.value), static_cast<qint64>(y.value));
            if (!x.integer && !y.integer)
                return threeWay(asDouble(x), asDouble(y));
            return threeWay(asNumber(x), asNumber(y));
        default: {
            if (x.value != y.value)
                return threeWay(x.value, y.value);
            if (x.length > 8 && y.length > 8) {
                const int c = std::memcmp(m_arena.data() + x.offset + 8, m_arena.data() + y.offset + 8,
                                          std::min(x.length, y.length) - 8);
                if (c != 0)
                    return threeWay(c, 0);
            }
            return threeWay(x.length, y.length);
        }
        }
    }

private:
    static double asDouble(const SortEntry &e)
    {
        double d;
        std::memcpy(&d, &e.value, sizeof d);
        return d;
    }
    static long double asNumber(const SortEntry &e)
    {
        return e.integer ? static_cast<long double>(static_cast<qint64>(e.value)) : asDouble(e);
    }

    std::string m_arena;
};

class SortEntries
{
public:
    explicit SortEntries(size_t count) { m_entries.reserve(count); }

    void add(quint32 rank, sqlite3_stmt *stmt, int column)
    {
        SortEntry e;
        e.rank = rank;
        m_keys.read(e, stmt, column);
        m_entries.push_back(e);
    }

    bool overflowed() const { return m_keys.overflowed(); }

    // Sorts by the key, ascending or descending; rows with equal keys by their rank.
    void sort(bool descending)
    {
        if (descending)
            std::sort(m_entries.begin(), m_entries.end(), [this](const SortEntry &a, const SortEntry &b) {
                const int c = m_keys.compare(b, a);
                return c != 0 ? c < 0 : a.rank < b.rank;
            });
        else
            std::sort(m_entries.begin(), m_entries.end(), [this](const SortEntry &a, const SortEntry &b) {
                const int c = m_keys.compare(a, b);
                return c != 0 ? c < 0 : a.rank < b.rank;
            });
    }

    const std::vector<SortEntry> &entries() const { return m_entries; }

private:
    std::vector<SortEntry> m_entries;
    KeyArena m_keys;
};

// A filter that keeps at most this part of the log has its rows sorted from their keys; a
// larger part is put in the whole log's order. Looking up and sorting a sixteenth of the
// log costs about what reading the whole order from its index does.
constexpr qint64 FewRowsPart = 16;

// Rows with the values of every key of an order, sorted here as ORDER BY sorts them: the
// rows of a filter that keeps a small part of a large log.
class KeyedRows
{
public:
    explicit KeyedRows(const TLogOrder &order) : m_order(order) {}

    // The current row of a statement whose columns are the ID and then the order's keys.
    void add(sqlite3_stmt *stmt)
    {
        m_ids.push_back(sqlite3_column_int64(stmt, 0));
        for (size_t term = 0; term < m_order.size(); ++term) {
            SortEntry e;
            m_keys.read(e, stmt, int(term) + 1);
            m_values.push_back(e);
        }
    }

    bool overflowed() const { return m_keys.overflowed(); }

    // The IDs in the order; the order's last key (the ID, unless listed before) leaves no
    // two rows equal.
    std::vector<qint64> sortedIds() const
    {
        const size_t terms = m_order.size();
        std::vector<quint32> rows(m_ids.size());
        std::iota(rows.begin(), rows.end(), 0u);
        std::sort(rows.begin(), rows.end(), [&](quint32 a, quint32 b) {
            for (size_t term = 0; term < terms; ++term) {
                const int c = m_keys.compare(m_values[a * terms + term], m_values[b * terms + term]);
                if (c != 0)
                    return m_order[term].descending ? c > 0 : c < 0;
            }
            return false;
        });
        std::vector<qint64> ids;
        ids.reserve(rows.size());
        for (quint32 row : rows)
            ids.push_back(m_ids[row]);
        return ids;
    }

private:
    const TLogOrder &m_order;
    std::vector<qint64> m_ids;
    std::vector<SortEntry> m_values; // the keys of row r from r * the number of keys on
    KeyArena m_keys;
};

const TOrderTerm DateTerm{fiDAT, false};
const TOrderTerm TimeTerm{fiUTC, false};
const TOrderTerm IdTerm{fiID, false};

} // namespace

TLogOrder ParseLogOrder(const QStringList &order)
{
    TLogOrder terms;
    bool hasId = false;
    for (const QString &entry : order) {
        const QStringList words = entry.simplified().split(u' ');
        const int field = LogFieldIndex(words.value(0));
        const QString direction = words.value(1).toUpper();
        if (field < 0 || words.size() > 2 ||
            (words.size() == 2 && direction != u"ASC" && direction != u"DESC"))
            throw EDatabaseError(QStringLiteral("Neplatné třídění \"%1\"!").arg(entry));
        hasId = hasId || field == fiID;
        terms.push_back({field, direction == u"DESC"});
    }
    if (terms.empty())
        terms = {DateTerm, TimeTerm};
    if (!hasId)
        terms.push_back(IdTerm);
    return terms;
}

QString LogOrderSql(const TLogOrder &order, bool asExpressions)
{
    QStringList parts;
    for (const TOrderTerm &term : order)
        parts << (asExpressions ? QStringLiteral("+") : QString()) + LogFieldNames[term.field] +
                     (term.descending ? QStringLiteral(" DESC") : QString());
    return parts.join(u',');
}

int CompareSqlValues(const QVariant &a, const QVariant &b)
{
    const TSqlClass ca = sqlClass(a);
    const TSqlClass cb = sqlClass(b);
    if (ca != cb)
        return threeWay(ca, cb);
    switch (ca) {
    case scNull:
        return 0;
    case scNumber:
        return compareNumbers(a, b);
    case scText:
        return compareTexts(a.toString(), b.toString());
    case scBlob: {
        const QByteArray x = a.toByteArray();
        const QByteArray y = b.toByteArray();
        const int c = std::memcmp(x.constData(), y.constData(), size_t(std::min(x.size(), y.size())));
        return c != 0 ? threeWay(c, 0) : threeWay(x.size(), y.size());
    }
    }
    return 0;
}

int CompareOrderKeys(const TLogOrder &order, const QVariantList &a, const QVariantList &b)
{
    for (size_t i = 0; i < order.size(); ++i) {
        const int c = CompareSqlValues(a.value(qsizetype(i)), b.value(qsizetype(i)));
        if (c != 0)
            return order[i].descending ? -c : c;
    }
    return 0;
}

std::optional<std::vector<qint64>> SortLogInMemory(const QSqlDatabase &db, const TLogOrder &order)
{
    // One leading field, then date, time and ID: the order of the sort commands. A field
    // that an index orders (the call sign ascending, date, time, ID) is left to SQLite.
    if (order.size() != 4 || order[1] != DateTerm || order[2] != TimeTerm || order[3] != IdTerm)
        return std::nullopt;
    const TOrderTerm lead = order[0];
    if (lead.field == fiID || lead.field == fiDAT || lead.field == fiUTC || lead == TOrderTerm{fiCALL, false})
        return std::nullopt;

    sqlite3 *handle = SqliteHandle(db);
    if (!handle)
        return std::nullopt;

    // Rows equal in the leading field keep their date and time order, which the index on
    // date and time gives at once: the position in that order breaks every tie.
    std::vector<qint64> byDate;
    {
        Statement q(db, QStringLiteral("SELECT ID FROM %1 ORDER BY DAT,UTC,ID").arg(LogTableName));
        while (q.step())
            byDate.push_back(sqlite3_column_int64(q.get(), 0));
    }
    const PositionOfId rankOf(byDate);

    SortEntries entries(byDate.size());
    {
        Statement q(db, QStringLiteral("SELECT ID,%1 FROM %2").arg(LogFieldNames[lead.field], LogTableName));
        while (q.step()) {
            const int rank = rankOf(sqlite3_column_int64(q.get(), 0));
            if (rank < 0)
                return std::nullopt; // written meanwhile: SQLite orders it instead
            entries.add(quint32(rank), q.get(), 1);
        }
    }
    if (entries.entries().size() != byDate.size() || entries.overflowed())
        return std::nullopt;

    entries.sort(lead.descending);
    std::vector<qint64> ids;
    ids.reserve(byDate.size());
    for (const SortEntry &e : entries.entries())
        ids.push_back(byDate[e.rank]);
    return ids;
}

namespace
{

// Binds the values of a condition as Qt's SQLite driver binds them; false for a kind of
// value whose text form this program does not reproduce (dates and times).
bool bindValues(sqlite3_stmt *stmt, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &v = values[i];
        const int slot = i + 1;
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, slot);
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(stmt, slot, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt, slot, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = v.toByteArray();
            rc = sqlite3_bind_blob64(stmt, slot, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QString:
        case QMetaType::QChar: {
            const QByteArray text = v.toString().toUtf8();
            rc = sqlite3_bind_text64(stmt, slot, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
            break;
        }
        default:
            return false;
        }
        if (rc != SQLITE_OK)
            return false;
    }
    return true;
}

// Whether SQLite reads the whole log in this order from an index, without a sort of its own.
bool orderFromIndex(sqlite3 *handle, const QString &select)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(handle, ("EXPLAIN QUERY PLAN " + select).toUtf8().constData(), -1, &stmt, nullptr) !=
        SQLITE_OK)
        return false;
    bool sorts = false;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const char *detail = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3));
        if (detail && std::strstr(detail, "TEMP B-TREE"))
            sorts = true;
    }
    sqlite3_finalize(stmt);
    return !sorts;
}

} // namespace

std::optional<std::vector<qint64>> ReadLogIds(const QSqlDatabase &db, const QString &select,
                                              const QVariantList &values, size_t capacity)
{
    sqlite3 *handle = SqliteHandle(db);
    if (!handle)
        return std::nullopt;
    Statement q(db, select);
    if (sqlite3_bind_parameter_count(q.get()) != values.size() || !bindValues(q.get(), values))
        return std::nullopt;
    std::vector<qint64> ids;
    ids.reserve(capacity);
    while (q.step())
        ids.push_back(sqlite3_column_int64(q.get(), 0));
    return ids;
}

qint64 LogIdSpan(const QSqlDatabase &db)
{
    if (!SqliteHandle(db))
        return 0;
    // Each of the two is one step down the table's tree; together (min and max in one
    // SELECT) SQLite would read the whole table.
    Statement q(db, QStringLiteral("SELECT (SELECT max(ID) FROM %1) - (SELECT min(ID) FROM %1) + 1").arg(LogTableName));
    return q.step() ? sqlite3_column_int64(q.get(), 0) : 0;
}

std::optional<std::vector<qint64>> OrderSelectedIds(const QSqlDatabase &db, const TLogOrder &order,
                                                    const QString &condition, const QVariantList &values)
{
    sqlite3 *handle = SqliteHandle(db);
    if (!handle)
        return std::nullopt;

    // Which rows the condition selects, read in one pass without a sort. While they are few
    // against the log (whose size the span of its IDs tells at once), their keys come along
    // and they are sorted here: that is faster than reading the whole log's order.
    const size_t fewRows = size_t(std::max<qint64>(0, LogIdSpan(db) / FewRowsPart));
    QStringList columns{LogFieldNames[fiID]};
    for (const TOrderTerm &term : order)
        columns << LogFieldNames[term.field];
    std::vector<qint64> selected;
    std::optional<KeyedRows> keyed(order);
    {
        Statement q(db, QStringLiteral("SELECT %1 FROM %2 WHERE (%3)").arg(columns.join(u','), LogTableName, condition));
        if (sqlite3_bind_parameter_count(q.get()) != values.size() || !bindValues(q.get(), values))
            return std::nullopt;
        while (q.step()) {
            selected.push_back(sqlite3_column_int64(q.get(), 0));
            if (keyed && selected.size() > fewRows)
                keyed.reset();
            else if (keyed)
                keyed->add(q.get());
        }
    }
    if (keyed && !keyed->overflowed())
        return keyed->sortedIds();

    // The whole log in the order, from an index or sorted here; SQLite sorting it would
    // take longer than its sort of the selected rows alone.
    std::vector<qint64> all;
    if (std::optional<std::vector<qint64>> sorted = SortLogInMemory(db, order)) {
        all = std::move(*sorted);
    } else {
        const QString select = QStringLiteral("SELECT ID FROM %1 ORDER BY %2").arg(LogTableName, LogOrderSql(order, false));
        if (!orderFromIndex(handle, select))
            return std::nullopt;
        std::optional<std::vector<qint64>> read = ReadLogIds(db, select, {});
        if (!read)
            return std::nullopt;
        all = std::move(*read);
    }

    std::vector<bool> keep(all.size());
    {
        const PositionOfId rankOf(all);
        for (qint64 id : selected) {
            const int rank = rankOf(id);
            if (rank < 0)
                return std::nullopt; // written meanwhile: SQLite orders them instead
            keep[size_t(rank)] = true;
        }
    }
    std::vector<qint64> ids;
    ids.reserve(selected.size());
    for (size_t i = 0; i < all.size(); ++i)
        if (keep[i])
            ids.push_back(all[i]);
    return ids;
}

TStoredCell::TStoredCell(const TSqliteStatement *statement, int column) : m_statement(statement), m_column(column)
{
    if (!statement)
        return;
    const int type = sqlite3_column_type(statement->get(), column);
    m_null = type == SQLITE_NULL;
    m_text = type == SQLITE_TEXT;
}

std::string_view TStoredCell::Text() const
{
    if (!m_text)
        return {};
    sqlite3_stmt *stmt = m_statement->get();
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, m_column));
    return text ? std::string_view(text, size_t(sqlite3_column_bytes(stmt, m_column))) : std::string_view();
}

QVariant TStoredCell::Value() const
{
    return m_statement ? m_statement->ColumnValue(m_column) : QVariant();
}

bool ReadLogColumn(const QSqlDatabase &db, int field, const QString &condition, const QVariantList &values,
                   const std::function<void(qint64 id, const TStoredCell &stored)> &visit)
{
    if (!SqliteHandle(db))
        return false;
    QString sql = QStringLiteral("SELECT ID,%1 FROM %2").arg(LogFieldNames[field], LogTableName);
    if (!condition.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE (") + condition + u')';
    Statement q(db, sql);
    if (sqlite3_bind_parameter_count(q.get()) != values.size() || !bindValues(q.get(), values))
        return false;
    while (q.step())
        visit(sqlite3_column_int64(q.get(), 0), TStoredCell(&q, 1));
    return true;
}

bool ReadLogValues(const QSqlDatabase &db, int field, const std::vector<qint64> &ids,
                   const std::function<bool(const TStoredCell &stored)> &visit)
{
    if (!SqliteHandle(db))
        return false;
    Statement q(db, QStringLiteral("SELECT %1 FROM %2 WHERE ID=?").arg(LogFieldNames[field], LogTableName));
    for (qint64 id : ids) {
        q.BindInt(0, id);
        const bool found = q.step();
        const bool more = visit(TStoredCell(found ? &q : nullptr, 0));
        sqlite3_reset(q.get());
        if (!more)
            break;
    }
    return true;
}
