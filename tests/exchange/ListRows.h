#pragma once
// Rows from a list, for rendering a report without a table.

#include "log/LogRecord.h"
#include "report/PrintQuery.h"

#include <QList>

class ListRows : public TReportRows
{
public:
    explicit ListRows(QList<TLogRecord> rows) : m_rows(std::move(rows)) {}
    bool Next(TLogRecord &record) override
    {
        if (m_next >= m_rows.size())
            return false;
        record = m_rows[m_next++];
        return true;
    }

private:
    QList<TLogRecord> m_rows;
    int m_next = 0;
};
