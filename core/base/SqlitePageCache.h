#pragma once
// A connection's page cache held at another size for a while, and set back as it was. A
// pass over a whole log reads each page once: through the log connection's large cache
// (there for writing many QSOs in one transaction) it would fill that cache with pages
// never read again, and fresh memory costs more than the reading. An append of many QSOs
// wants the opposite: a larger cache spares re-reading the indexes' pages.

#include <QSqlDatabase>
#include <QtGlobal>

#include <optional>

struct sqlite3;

class TSqlitePageCache
{
public:
    // SQLite's own default size, in kibibytes (negative).
    static constexpr qint64 SqliteDefault = -2000;

    // `size` as PRAGMA cache_size takes it; nothing happens for a connection that is not
    // SQLite's.
    TSqlitePageCache(const QSqlDatabase &db, qint64 size);
    ~TSqlitePageCache();
    TSqlitePageCache(const TSqlitePageCache &) = delete;
    TSqlitePageCache &operator=(const TSqlitePageCache &) = delete;

private:
    sqlite3 *m_handle = nullptr;
    std::optional<qint64> m_kept; // the size before, when it was changed
};
