#pragma once
// The rows a report prints: every field of a log-shaped table file (the log itself or a
// temporary print table), read forward in a given order through a read-only connection
// of its own, so that printing never holds or changes the open log's connection.

#include "log/LogConnection.h"
#include "log/LogRecord.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <memory>

// What a report reads its rows from.
class TReportRows
{
public:
    virtual ~TReportRows() = default;
    // The next row into `record`; false at the end.
    virtual bool Next(TLogRecord &record) = 0;
};

class TPrintQuery : public TReportRows
{
public:
    TPrintQuery() = default;
    ~TPrintQuery() override;

    // Opens the table file ordered by the log fields named (each may end with " DESC");
    // raises EDatabaseError when the file cannot be read or a name is unknown. An open
    // query is closed first.
    void Open(const QString &tableFile, const QStringList &orderBy);
    void Close();
    bool Active() const { return m_query != nullptr; }

    // An unopened query has no rows.
    bool Next(TLogRecord &record) override;

private:
    LogConnection m_connection;
    std::unique_ptr<QSqlQuery> m_query;
};
