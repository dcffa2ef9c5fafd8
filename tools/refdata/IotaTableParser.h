#pragma once
// Reads the IOTA list iota.tbl: one island group a line, "|"-separated
//   AF-001|Agalega Islands|3B6|<pattern>
// (reference, name, prefix, an optional pattern that is not used). The reference is
// returned as the log stores it: two letters and three digits, without the dash.

#include <QList>
#include <QString>
#include <QStringList>

struct IotaRow {
    QString iota;   // "AF001"
    QString prefix; // "3B6", "FT(Z)"
    QString name;

    bool operator==(const IotaRow &) const = default;
};

class IotaTableParser
{
public:
    // The rows in file order, each (reference, prefix) pair once. Blank lines are skipped;
    // a line without a reference of the form "XX-999" raises RefDataError naming it.
    static QList<IotaRow> parse(const QString &text);

    // "AF-001" -> "AF001"; an empty text when it is no IOTA reference.
    static QString reference(const QString &text);
};
