#pragma once
// The find window's search as it was written before any answer came from the stored bytes:
// the mask over the value's text, made capitals or folded, or the day. Tests compare the
// searches against it.

#include "FindDialog.h"
#include "base/CaseFold.h"
#include "base/WildcardMask.h"
#include "log/LogFilter.h"

#include <QDate>
#include <QVariant>

inline bool ReferenceMatches(TfrmFind::TFindKind kind, const QString &text, bool caseSensitive,
                             const QVariant &value)
{
    switch (kind) {
    case TfrmFind::fkDate: {
        const QDate date = QDate::fromString(text, QStringLiteral("d.M.yyyy"));
        return value.typeId() == QMetaType::QDate ? value.toDate() == date
                                                  : QDate::fromString(value.toString(), Qt::ISODate) == date;
    }
    case TfrmFind::fkText:
        if (caseSensitive)
            return TWildcardMask(text).Matches(value.toString());
        return TWildcardMask(CaseFold(text)).Matches(CaseFold(value.toString()));
    default:
        return TWildcardMask(UpperAscii(text)).Matches(UpperAscii(value.toString()));
    }
}
