#pragma once
// A table of another program read for an import: its field names and types and its rows,
// with each value typed (QDate, QTime, QDateTime, double, qint64, bool, or the raw bytes
// of a text in the table's own code page) and a null QVariant for an empty value.
// Opening a table checks every offset and length in it against the file, so that reading
// its rows afterwards never leaves the file's data.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

struct TSourceField {
    QString name;
    char type = 0; // the table format's own type letter
    int size = 0;
};

class TSourceTable
{
public:
    virtual ~TSourceTable() = default;

    virtual const QList<TSourceField> &Fields() const = 0;
    virtual int RowCount() const = 0;
    // The values of one row (0-based) in field order; raises EFileError when the row's
    // data cannot be read (a damaged memo file).
    virtual QVariantList Row(int row) const = 0;
    // One value of a row, the same as Row(row)[field]; for reading a few fields of every
    // row without the rest.
    virtual QVariant Value(int row, int field) const = 0;

    // The field names in lower case, as the imports compare them.
    QStringList LowerFieldNames() const
    {
        QStringList names;
        for (const TSourceField &field : Fields())
            names << field.name.toLower();
        return names;
    }
};

// The message of a table that cannot be read or is no table of its kind.
inline QString SourceTableUnreadableText()
{
    return QStringLiteral("Databázi nelze otevřít, nebo má neplatný formát.");
}
