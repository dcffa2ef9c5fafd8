#pragma once
// One QSO as the program holds it in memory: the 25 log fields by position, each a typed
// value or empty. The QSO window and the imports fill one, the log table writes it, the
// log query hands it out.
//
// Value types by field type: date QDate, time QTime, alpha QString, float double, short
// and the ID integers. An empty field is a null QVariant (an empty text counts as empty
// too and is stored as NULL, as does an invalid date or time).

#include "log/VkrDatabase.h"

#include <QVariant>

#include <array>

struct TLogRecord {
    std::array<QVariant, LogFieldCount> values;

    QVariant &operator[](int field) { return values[field]; }
    const QVariant &operator[](int field) const { return values[field]; }

    // The record's ID, 0 when it has none (a record not yet stored).
    qint64 id() const { return values[fiID].toLongLong(); }
    bool isEmpty(int field) const;
    void clear();
};

// True for a null value, an empty text and an invalid date or time.
bool IsEmptyLogValue(const QVariant &value);

// The value as it is bound into the log table: dates as "YYYY-MM-DD", times as
// "HH:MM:SS", texts cut to the field's width, empty values as NULL. A value that the
// field cannot take raises EDatabaseError with a Czech message.
QVariant LogValueToStorage(int field, const QVariant &value);

// The typed value of a column read from the log table (NULL gives a null QVariant).
QVariant LogValueFromStorage(int field, const QVariant &stored);

// Converts text typed by the operator to the field's value with the program's formats:
// "," as decimal separator, dates d.m.yyyy, times h:n[:s]; alpha fields take the text as
// it is. An empty text gives an empty value; a text the field cannot take raises
// EDatabaseError ("Hodnota "..." není platná pro pole ...!").
QVariant LogValueFromText(int field, const QString &text);

// The value as plain text: dates "dd.mm.yyyy", times "hh:nn:ss", floats in the shortest
// form with ",", integers in decimal, an empty value as "".
QString LogValueAsString(int field, const QVariant &value);
