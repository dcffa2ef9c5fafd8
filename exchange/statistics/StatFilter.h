#pragma once
// Which QSOs the award statistics count: a set of modes, an optional date range and an
// optional power range, as the operator chose them in the statistics filter dialog. The
// condition reaches SQLite as text with the typed values bound beside it.

#include <QList>
#include <QString>
#include <QVariantList>

struct TStatFilterChoice {
    QList<int> modes; // mode indexes 1..27, in list order; never empty once confirmed
    QString dateMin, dateMax; // as typed ("d.m.yyyy"), empty for no limit
    QString powerMin, powerMax; // as typed, with a decimal comma, empty for no limit
};

struct TStatFilter {
    QString where;       // "(MODE IN (1,2))AND(DAT>=?)..." with "?" for every typed value
    QVariantList values; // the typed values in the order of their "?"
    bool isEmpty() const { return where.isEmpty(); }
};

// The condition of the choice: the mode list, then each limit that is set. Dates are
// bound in the stored form "yyyy-mm-dd" and powers as numbers, so that they compare as
// dates and numbers; a text that is neither (the dialog lets none through) raises
// EDatabaseError.
TStatFilter BuildStatFilter(const TStatFilterChoice &choice);
