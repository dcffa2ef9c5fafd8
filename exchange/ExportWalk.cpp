#include "ExportWalk.h"

namespace
{

// Holds the query's bound views back for the walk and lets them catch up at its end,
// also when the walk fails.
class ControlsDisabled
{
public:
    explicit ControlsDisabled(LogQuery &query) : m_query(query) { m_query.DisableControls(); }
    ~ControlsDisabled() { m_query.EnableControls(); }
    ControlsDisabled(const ControlsDisabled &) = delete;
    ControlsDisabled &operator=(const ControlsDisabled &) = delete;

private:
    LogQuery &m_query;
};

} // namespace

TExportWalk::TExportWalk(LogQuery &query, const QList<TBookmark> &marked, int limit) : m_query(query)
{
    const int available = marked.isEmpty() ? query.RecordCount() : int(marked.size());
    const int wanted = limit < 0 ? available : std::min(limit, available);
    m_rows.reserve(wanted);
    if (marked.isEmpty()) {
        for (int row = 0; row < wanted; ++row)
            m_rows.push_back(row);
        return;
    }
    for (const TBookmark bookmark : marked) {
        if (int(m_rows.size()) >= wanted)
            break;
        const int row = query.RowOfId(bookmark);
        if (row >= 0)
            m_rows.push_back(row);
    }
}

void TExportWalk::Run(const std::function<void(const TLogRecord &)> &visit, const TProgressEvent &onProgress)
{
    ControlsDisabled disabled(m_query);
    // The query moves once, to the last row written, so that whoever follows it
    // (the main window's QSO panel) is not told of every row on the way.
    int lastWritten = -1;
    struct StayOnLast {
        LogQuery &query;
        const int &row;
        ~StayOnLast()
        {
            if (row >= 0)
                query.SetRecNo(row + 1);
        }
    } stay{m_query, lastWritten};

    const int n = Count();
    int lastReported = 0;
    for (int i = 0; i < n; ++i) {
        const int row = m_rows[size_t(i)];
        visit(m_query.RecordAt(row));
        lastWritten = row;
        if (!onProgress || n < 2)
            continue;
        const int percent = int(qint64(i) * 100 / (n - 1));
        if (percent == lastReported)
            continue;
        lastReported = percent;
        try {
            onProgress(percent);
        } catch (...) {
            // A failing progress display must not stop the export.
        }
    }
}
