#pragma once
// IsEmptyLogValue told in place for the types the importers hold (a text, a date, a time,
// nothing), without a call for every value of every record; any other type is asked of
// IsEmptyLogValue itself.

#include "log/LogRecord.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

inline bool IsEmptyImportValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return true;
    case QMetaType::QString:
        return static_cast<const QString *>(value.constData())->isEmpty();
    case QMetaType::QDate:
        return !static_cast<const QDate *>(value.constData())->isValid();
    case QMetaType::QTime:
        return !static_cast<const QTime *>(value.constData())->isValid();
    default:
        return IsEmptyLogValue(value);
    }
}
