#pragma once
// What the kernel says of this process (/proc/self/status), for the benchmarks' memory
// figures.

#include <QString>

// The value of a line such as "VmHWM:" (peak resident memory), "?" when there is none.
QString ProcessStatusValue(const char *key);
