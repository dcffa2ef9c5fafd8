#include "export/ExportWalk.h"

#include "log/QueryViewsHeld.h"

namespace
{

// Moves the query once, to the last row written, when the walk ends, so that whoever
// follows it (the main window's QSO panel) is not told of every row on the way.
class StayOnLastRow
{
public:
    explicit StayOnLastRow(LogQuery &query) : m_query(query) {}
    ~StayOnLastRow()
    {
        if (row >= 0)
            m_query.SetRecNo(row + 1);
    }
    StayOnLastRow(const StayOnLastRow &) = delete;
    StayOnLastRow &operator=(const StayOnLastRow &) = delete;

    int row = -1;

private:
    LogQuery &m_query;
};

} // namespace

TExportWalk::TExportWalk(LogQuery &query, const QList<TBookmark> &marked, int limit)
    : m_query(query), m_all(marked.isEmpty())
{
    const int available = m_all ? query.RecordCount() : int(marked.size());
    const int wanted = limit < 0 ? available : std::min(limit, available);
    if (m_all) {
        m_count = wanted;
        return;
    }
    m_rows.reserve(size_t(wanted));
    for (const TBookmark bookmark : marked) {
        if (int(m_rows.size()) >= wanted)
            break;
        const int row = query.RowOfId(bookmark);
        if (row >= 0)
            m_rows.push_back(row);
    }
    m_count = int(m_rows.size());
}

void TExportWalk::Run(const std::function<void(const TLogRowView &)> &visit, const TProgressEvent &onProgress)
{
    // Declared in this order so that the query moves while its views are still held back.
    TQueryViewsHeld disabled(m_query);
    StayOnLastRow stay(m_query);
    m_lastReported = 0;
    int index = 0;
    const auto write = [&](int row, const TLogRowView &view) {
        visit(view);
        stay.row = row;
        reportProgress(index++, onProgress);
    };
    if (m_all) {
        if (m_count > 0)
            m_query.ReadRowViews(0, [&](int row, const TLogRowView &view) {
                write(row, view);
                return index < m_count;
            });
        return;
    }
    for (const int row : m_rows) {
        const TLogRecord record = m_query.RecordAt(row);
        write(row, TLogRowView(record));
    }
}

void TExportWalk::reportProgress(int index, const TProgressEvent &onProgress)
{
    if (!onProgress || m_count < 2)
        return;
    const int percent = int(qint64(index) * 100 / (m_count - 1));
    if (percent == m_lastReported)
        return;
    m_lastReported = percent;
    try {
        onProgress(percent);
    } catch (...) {
        // A failing progress display must not stop the export.
    }
}
