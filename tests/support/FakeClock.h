#pragma once
// A clock setter for tests: records every time it is asked to set and accepts or refuses
// as told, so that no test touches the machine's clock.

#include "system/SystemClock.h"

#include <QDateTime>
#include <QList>

class FakeClock : public TClockSetter
{
public:
    bool accept = true;
    QList<QDateTime> settings;

    bool setUtc(const QDateTime &utc) override
    {
        settings << utc;
        return accept;
    }
};
