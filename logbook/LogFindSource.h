#pragma once
// The find window's view of the log grid's query. A search reads the field of the rows
// near by, in grid order, by their IDs; when the match is not near, one pass over the
// field's column of the whole log finds the matching QSOs, and the walk goes on over their
// IDs only, so a search that misses costs one read of one column. Neither fills the
// query's cache of rows.

#include "FindSource.h"

#include <functional>

class LogQuery;
class QSqlDatabase;

class TLogFindSource : public TFindSource
{
public:
    // Rows read one by one before the column is read at once.
    static constexpr int NearRows = 128;

    explicit TLogFindSource(LogQuery *query) : m_query(query) {}

    int RecordCount() const override;
    int RecNo() const override;
    void SetRecNo(int recNo) override;
    void DisableControls() override;
    void EnableControls() override;
    QVariant ValueAt(int row, int field) const override;
    int FindFrom(int from, int field, const Match &match) const override;

private:
    void readColumn(QSqlDatabase &db, int field,
                    const std::function<void(qint64, const QVariant &)> &visit) const;

    LogQuery *m_query;
};
