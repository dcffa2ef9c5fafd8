#include "base/SqlitePageCache.h"

#include "base/SqliteHandle.h"

#include <QByteArray>

#include <sqlite3.h>

namespace
{

void setCacheSize(sqlite3 *handle, qint64 size)
{
    sqlite3_exec(handle, QByteArray("PRAGMA cache_size = " + QByteArray::number(size)).constData(), nullptr,
                 nullptr, nullptr);
}

} // namespace

TSqlitePageCache::TSqlitePageCache(const QSqlDatabase &db, qint64 size) : m_handle(SqliteHandle(db))
{
    if (!m_handle)
        return;
    sqlite3_stmt *stmt = nullptr;
    std::optional<qint64> before;
    if (sqlite3_prepare_v2(m_handle, "PRAGMA cache_size", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        before = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    if (before && *before != size) {
        setCacheSize(m_handle, size);
        m_kept = before;
    }
}

TSqlitePageCache::~TSqlitePageCache()
{
    if (m_kept)
        setCacheSize(m_handle, *m_kept);
}
