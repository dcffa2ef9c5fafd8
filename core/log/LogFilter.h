#pragma once
// The conditions of the log filter and the SQL they become. The operator lists
// conditions as rows of the filter dialog (the field's caption, and the operator, a blank
// and the value in double quotes); BuildFilterLines turns them into the lines of a WHERE
// clause for LogQuery::SetWhere. Every value is bound as a parameter ("?" in the text, the
// value in FilterSql::values), so no typed character can change the query: quotes, "%"
// and "_" are ordinary characters, and "*" is the only wildcard.
//
// The lines group the conditions: each line is one parenthesised group, the first
// beginning "(", each later one "AND("; only consecutive "=" conditions with a non-empty
// value on one text field share a line, joined by "OR".

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <array>

// The filterable log fields, in the order the dialog offers them.
inline constexpr int FilterFieldCount = 20;
extern const std::array<int, FilterFieldCount> FilterFields;
// All six operators, in the order the dialog offers them.
extern const QStringList FilterOperators;
// The most conditions one filter holds.
inline constexpr int MaxFilterConditions = 50;

// How a field's value is compared.
enum class TFilterCompare {
    Text,    // upper-cased text, "=" and "<>" with a value become LIKE and NOT LIKE
    Index,   // a name picked from a fixed list, compared as its index in the list
    Date,    // a date "dd.mm.yyyy", compared as a date
    Number,  // a decimal number (MHz, W), compared as a number
    Integer, // a whole number (ITU, WAZ)
};
TFilterCompare FilterCompareOf(int field);
// True for the fields that take all six operators (date, frequency, band, power).
bool FilterFieldTakesAllOperators(int field);
// The names offered for an index field (bands 0..26 only, modes 1..27, QSL states); empty
// for the other fields.
QStringList FilterPickNames(int field);

// One condition row as the dialog lists it.
struct TFilterRow {
    QString key;   // the field's caption
    QString value; // operator, blank, double quote, the value as typed, double quote

    friend bool operator==(const TFilterRow &, const TFilterRow &) = default;
};

// The row of a condition.
TFilterRow MakeFilterRow(int field, const QString &op, const QString &text);
// The operator and the value of a row: split at the first double quote; the value loses
// the double quotes that frame it. False when the row holds no double quote.
bool SplitFilterValue(const QString &rowValue, QString &op, QString &text);
// The log field of a row's caption; -1 when no filterable field has that caption.
int FilterFieldOfCaption(const QString &caption);

// Where a new condition on the field goes: after the returned row (-1: at the end). It is
// the last row of the field with the same operator, else the last row of the field, else
// none. A row belongs to the field when the field's caption occurs in its key.
int FindConditionRow(const QList<TFilterRow> &rows, const QString &caption, const QString &op);

// Checks a value before it becomes a condition; the Czech message when it cannot be one,
// else an empty text. A date is given back normalised to "dd.mm.yyyy".
QString CheckFilterValue(int field, const QString &op, QString &text);

struct TFilterSql {
    QStringList lines;
    QVariantList values;
};
// The WHERE lines of the rows; empty for no rows. A row whose caption names no
// filterable field is passed over.
TFilterSql BuildFilterLines(const QList<TFilterRow> &rows);

// The LIKE pattern of a typed value: "\", "%" and "_" escaped with "\", "*" becomes "%".
QString FilterLikePattern(const QString &text);
