#pragma once
// Runs an operation of the program and its floor (the same work written on SQLite's own
// interface) each in a child process of its own, so that each one's peak memory can be
// told apart, and prints both figures with their ratios.

#include <functional>

struct TRunFigures {
    double seconds = 0;   // wall clock
    double processor = 0; // user and system time of the child
    long memoryKb = 0;    // growth of the peak resident memory over the child's start
    bool ok = false;
};

// Runs `prepare` (not measured: opening a connection, which no child may inherit) and
// then `work` in a forked child; the parent waits for it. Whatever the work leaves in the
// file system stays, its memory goes with the child.
TRunFigures RunInChild(const std::function<void()> &prepare, const std::function<void()> &work);

// One side: what it opens first, then what is timed.
struct TBenchSide {
    std::function<void()> prepare;
    std::function<void()> work;
};

// Runs both, medians of `repeats` runs each (alternating), and prints one line:
// the project's figures, the floor's and the ratios.
void PrintSideBySide(const char *what, const TBenchSide &project, const TBenchSide &floor, int repeats = 3);
