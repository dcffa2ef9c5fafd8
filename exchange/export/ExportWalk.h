#pragma once
// The walk every export makes over the log query: the marked QSOs in the order of the
// mark list, or every row of the query from the first to the last when nothing is
// marked. The grid does not follow the walk (the query's bound views are held back), and
// afterwards the query stands on the last row written.

#include "log/LogQuery.h"
#include "log/LogRowView.h"
#include "base/Progress.h"

#include <QList>

#include <functional>
#include <vector>

class TExportWalk
{
public:
    // limit: the most rows taken (-1 for all). Marks that are no longer rows of the query
    // (a QSO deleted since it was marked) are left out.
    TExportWalk(LogQuery &query, const QList<TBookmark> &marked, int limit = -1);

    // The number of rows the walk visits.
    int Count() const { return m_count; }

    // Hands each row to `visit` (a view valid during that call), then reports progress:
    // after the record with zero-based index i of n, the percentage i * 100 / (n - 1),
    // only when it differs from the last one passed (at first 0). So 0 is never passed, 100 after the last record,
    // and a single record reports nothing. The callback may be empty.
    void Run(const std::function<void(const TLogRowView &)> &visit, const TProgressEvent &onProgress);

private:
    void reportProgress(int index, const TProgressEvent &onProgress);

    LogQuery &m_query;
    bool m_all;              // every row from the first, read in one pass
    std::vector<int> m_rows; // else the rows of the marks
    int m_count = 0;
    int m_lastReported = 0;
};
