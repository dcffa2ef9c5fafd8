#pragma once
// The grid query's views held back (and, if asked, the hourglass shown) for one operation
// on the log, given back whatever happens in between: a failure must not leave the grid
// frozen or the cursor busy.

#include "log/QueryViewsHeld.h"

#include <QApplication>

class QueryWork
{
public:
    explicit QueryWork(LogQuery *query, bool waitCursor = true) : m_views(*query), m_waitCursor(waitCursor)
    {
        if (m_waitCursor)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    // Never raises: the views are given back by their holder, which stops any failure
    // of a view there.
    ~QueryWork()
    {
        if (m_waitCursor)
            QApplication::restoreOverrideCursor();
    }
    QueryWork(const QueryWork &) = delete;
    QueryWork &operator=(const QueryWork &) = delete;

private:
    TQueryViewsHeld m_views;
    bool m_waitCursor;
};
