#pragma once
// Large logs of made-up QSOs for the benchmarks: call signs of many countries, dates over
// 25 years, some names, QTHs and notes. The same count always gives the same log.

#include "log/LogRecord.h"

#include <QString>

class QRandomGenerator;

// One made-up QSO.
TLogRecord RandomQso(QRandomGenerator &rng);

// Creates the log file at `path` and fills it with `count` QSOs in one transaction.
void BuildRandomLog(const QString &path, int count);
