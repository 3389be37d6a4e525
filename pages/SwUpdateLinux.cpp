// The test page on Linux. There is no diskpart here, and no stand-in for it:
// the scripts are written as on Windows but not run, so the disk stays
// online, mounted as it was, during a test; each step says so on standard
// error. Linux files have no hidden attribute.

#include "pages/SwUpdatePlatform.h"

#include <cstdio>

void runDiskpartScript(const QString &scriptPath)
{
    std::fprintf(stderr, "No diskpart on this system: %s not run, the disk is left as it is\n",
                 qPrintable(scriptPath));
}

void hideFile(const QString &)
{
}
