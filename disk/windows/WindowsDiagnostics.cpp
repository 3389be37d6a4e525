// The disk layer's diagnostics on Windows: the failed call and GetLastError's number.

#include "disk/DiskDiagnostics.h"

#include <cstdio>

void reportNoSystemDirectory(StorageControl& sc)
{
    std::fprintf(stderr, "GetSystemDirectory() Error: %ld\n", static_cast<long>(sc.lastError()));
}

void reportVolumeNotOpened(StorageControl& sc, char)
{
    std::fprintf(stderr, "CreateFile() Error: %ld\n", static_cast<long>(sc.lastError()));
}

void reportVolumeWithoutDrive(StorageControl& sc, char)
{
    std::fprintf(stderr, "IOCTL_STORAGE_GET_DEVICE_NUMBER Error: %ld\n", static_cast<long>(sc.lastError()));
}
