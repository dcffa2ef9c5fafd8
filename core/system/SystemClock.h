#pragma once
// Setting the computer's clock. The logbook sets it through the process-wide clock
// setter, which tests replace with a fake so that no test touches the real clock.

#include <QDateTime>

class TClockSetter
{
public:
    virtual ~TClockSetter() = default;
    // Sets the clock to the given moment; false when it cannot be set.
    virtual bool setUtc(const QDateTime &utc) = 0;
};

// The real clock (CLOCK_REALTIME). Setting it needs the privilege to do so; without it
// the system refuses and setUtc answers false.
class TSystemClock final : public TClockSetter
{
public:
    bool setUtc(const QDateTime &utc) override;
};

// Installs the clock setter the logbook uses (not owned); nullptr restores the real clock.
void setClockSetter(TClockSetter *setter);
TClockSetter &clockSetter();
