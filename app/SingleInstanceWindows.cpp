// The instance lock as a named system mutex, created owned by the first
// instance and never released or closed: it lives until the process ends.

#include "app/SingleInstance.h"

#include <windows.h>

#include <string>

bool acquireSingleInstanceLock()
{
    const std::string name = kInstanceLockName;
    const std::wstring wideName(name.begin(), name.end());  // the name is plain ASCII
    const HANDLE mutex = CreateMutexW(nullptr, TRUE, wideName.c_str());
    // A mutex that cannot be created at all does not keep the program from starting.
    return !(mutex && GetLastError() == ERROR_ALREADY_EXISTS);
}
