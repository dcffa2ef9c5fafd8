#pragma once
// Opens a file with the desktop's program for its type and tells whether that worked.
// The desktop's opener (xdg-open, else gio) runs as its own process: Qt's own way starts
// it detached and reports success even when the opener then finds no program.

#include <QString>

// True when the opener opened the file, or is still running the program it started
// after a short wait; false when it failed or there is no opener.
bool OpenWithDesktop(const QString &fileName);
