#include "TableFindSource.h"

#include "log/TableQuery.h"

int TTableFindSource::RecordCount() const
{
    return m_query->RecordCount();
}

int TTableFindSource::RecNo() const
{
    return m_query->RecNo();
}

void TTableFindSource::SetRecNo(int recNo)
{
    m_query->SetRecNo(recNo);
}

void TTableFindSource::DisableControls()
{
    m_query->DisableControls();
}

void TTableFindSource::EnableControls()
{
    m_query->EnableControls();
}

QVariant TTableFindSource::ValueAt(int row, int field) const
{
    return m_query->ValueAt(row, field);
}
