// The instance lock as a named system mutex, owned by the first instance and
// never released: it lives until the process ends.

#include "app/SingleInstance.h"

#include <windows.h>

bool acquireSingleInstanceLock()
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"QvtQuillfence");
    return !(mutex && GetLastError() == ERROR_ALREADY_EXISTS);
}
