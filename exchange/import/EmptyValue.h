#pragma once
// IsEmptyLogValue told in place for the types most values of an import have (a text, a
// number, nothing), without a call for every value of every record; any other type is
// asked of IsEmptyLogValue itself.

#include "log/LogRecord.h"

#include <QString>
#include <QVariant>

// The variant's type id, read from the variant itself rather than through a call.
inline int ImportValueTypeId(const QVariant &value)
{
    return value.data_ptr().type().id();
}

inline bool IsEmptyImportValue(const QVariant &value)
{
    switch (ImportValueTypeId(value)) {
    case QMetaType::UnknownType:
        return true;
    case QMetaType::QString:
        return static_cast<const QString *>(value.constData())->isEmpty();
    case QMetaType::Double:
    case QMetaType::Int:
        return value.data_ptr().is_null; // what isNull tells of a type that is no pointer
    default:
        return IsEmptyLogValue(value);
    }
}
