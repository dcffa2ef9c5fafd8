#include "system/UtcClock.h"

#include <QDateTime>

QDate UTCDate()
{
    return QDateTime::currentDateTimeUtc().date();
}

QTime UTCTime()
{
    return QDateTime::currentDateTimeUtc().time();
}
