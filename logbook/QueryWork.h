#pragma once
// The grid query's views held back (and, if asked, the hourglass shown) for one operation
// on the log, given back whatever happens in between: a failure must not leave the grid
// frozen or the cursor busy.

#include "LogQuery.h"

#include <QApplication>

class QueryWork
{
public:
    explicit QueryWork(LogQuery *query, bool waitCursor = true) : m_query(query), m_waitCursor(waitCursor)
    {
        if (m_waitCursor)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        m_query->DisableControls();
    }
    // Never raises: it also runs while a failure unwinds. The views read the query
    // without raising; should a receiver of the query's notices fail all the same, the
    // views are still given back and the failure goes no further than here.
    ~QueryWork()
    {
        try {
            m_query->EnableControls();
        } catch (...) {
            qWarning("QueryWork: a view failed to follow the query");
        }
        if (m_waitCursor)
            QApplication::restoreOverrideCursor();
    }
    QueryWork(const QueryWork &) = delete;
    QueryWork &operator=(const QueryWork &) = delete;

private:
    LogQuery *m_query;
    bool m_waitCursor;
};
