#pragma once
// The find window's view of a reference list's query.

#include "FindSource.h"

class TTableQuery;

class TTableFindSource : public TFindSource
{
public:
    explicit TTableFindSource(TTableQuery *query) : m_query(query) {}

    int RecordCount() const override;
    int RecNo() const override;
    void SetRecNo(int recNo) override;
    void DisableControls() override;
    void EnableControls() override;
    QVariant ValueAt(int row, int field) const override;

private:
    TTableQuery *m_query;
};
