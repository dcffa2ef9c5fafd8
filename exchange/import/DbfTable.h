#pragma once
// A dBase table (.dbf) read through shapelib: dBase III and IV and the FoxPro forms of
// them. The header is checked against the file size before shapelib reads it; deleted
// rows are left out. Character fields come as raw bytes (the caller knows their code
// page), numbers as doubles, dates as QDate and logical fields as bool; a number or date
// whose text cannot be read comes as its raw bytes, so that the caller can name it.

#include "import/SourceTable.h"

#include <QList>


class TDbfTable : public TSourceTable
{
public:
    // Raises EFileError with SourceTableUnreadableText() when the file is missing,
    // truncated, of an older dBase layout or otherwise not a table shapelib can read.
    explicit TDbfTable(const QString &fileName);
    ~TDbfTable() override;

    const QList<TSourceField> &Fields() const override { return m_fields; }
    int RowCount() const override { return int(m_rows.size()); }
    QVariantList Row(int row) const override;
    QVariant Value(int row, int field) const override { return fieldValue(m_rows.at(row), field); }

private:
    void checkHeader(const QString &fileName);
    QVariant fieldValue(int record, int field) const;

    void *m_dbf = nullptr; // shapelib's DBFHandle
    QList<TSourceField> m_fields;
    QList<int> m_rows; // record numbers of the rows that are not deleted
};
