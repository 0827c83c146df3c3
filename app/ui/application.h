#pragma once

#include <QString>

// Creates the twelve windows in their fixed order, runs the event loop and tears the windows down,
// which writes the changed tables. Returns the process's exit code.
int runSaporin(const QString &dataDirectory);

// Creates the window set without running it, for tests; destroyWindows() tears it down.
void createWindows(const QString &dataDirectory);
void destroyWindows();
