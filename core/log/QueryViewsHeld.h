#pragma once
// A query's bound views held back for one operation on the log and let catch up at its
// end, also when the operation fails. The release never raises: it also runs while a
// failure unwinds.

#include "log/LogQuery.h"

#include <QtGlobal>

class TQueryViewsHeld
{
public:
    explicit TQueryViewsHeld(LogQuery &query) : m_query(query) { m_query.DisableControls(); }
    ~TQueryViewsHeld()
    {
        try {
            m_query.EnableControls();
        } catch (...) {
            qWarning("a view failed to follow the query");
        }
    }
    TQueryViewsHeld(const TQueryViewsHeld &) = delete;
    TQueryViewsHeld &operator=(const TQueryViewsHeld &) = delete;

private:
    LogQuery &m_query;
};
