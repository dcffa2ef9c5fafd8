#pragma once
// The current UTC date and time from the system clock; the logbook stamps new QSOs with them.

#include <QDate>
#include <QTime>

QDate UTCDate();
// With milliseconds.
QTime UTCTime();
