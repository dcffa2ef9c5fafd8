#pragma once
// Long operations (backup, restore, bulk edit, import, export, label ordering,
// statistics) report how far they are through an optional callback that receives a
// percentage; the progress window is one receiver, tests are another.

#include <functional>

using TProgressEvent = std::function<void(int percent)>;

// Passes a percentage on only when it differs from the last one passed, so that an
// operation may report on every record without repainting the window for each.
class TProgressReporter
{
public:
    explicit TProgressReporter(TProgressEvent event) : m_event(std::move(event)) {}

    void Report(int percent)
    {
        if (!m_event || percent == m_last)
            return;
        m_last = percent;
        m_event(percent);
    }
    // Step `done` of `total` as a percentage (0 when total is 0).
    void ReportStep(long long done, long long total)
    {
        Report(total > 0 ? int(done * 100 / total) : 0);
    }

private:
    TProgressEvent m_event;
    int m_last = -1;
};
