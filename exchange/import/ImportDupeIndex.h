#pragma once
// The duplicate check of an import: the date, time, frequency, mode and call sign of every
// QSO of the open log, read once into a hash, so that each source record is looked up in
// constant time instead of by a scan of the whole log. A record is a duplicate when all
// five values equal those of a QSO (call signs compared case-sensitively; frequencies equal
// when they round to the same four decimals, the precision the ADIF export writes; an
// empty value equals only an empty value).

#include "log/LogRecord.h"

#include <QString>

#include <memory>

class TImportDupeIndex
{
public:
    // Reads the log table of the named connection; raises EDatabaseError when it cannot.
    explicit TImportDupeIndex(const QString &connectionName);
    ~TImportDupeIndex();
    TImportDupeIndex(const TImportDupeIndex &) = delete;
    TImportDupeIndex &operator=(const TImportDupeIndex &) = delete;

    bool Contains(const TLogRecord &record) const;
    qsizetype Count() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
