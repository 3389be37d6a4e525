// The disk layer's diagnostics on Linux: the file system or volume and
// strerror() of the errno value the backend reported. A volume is named by
// the letter the program gives it and, where the backend knows it, its mount
// point.

#include "disk/DiskDiagnostics.h"

#include "disk/DevicePath.h"

#include <cstdio>
#include <cstring>
#include <string>

void reportNoSystemDirectory(StorageControl& sc)
{
    std::fprintf(stderr, "quillfence: the volume mounted on / could not be found: %s\n",
                 std::strerror(static_cast<int>(sc.lastError())));
}

void reportVolumeNotOpened(StorageControl& sc, char letter)
{
    std::fprintf(stderr, "quillfence: volume %c: could not be looked up: %s\n", letter,
                 std::strerror(static_cast<int>(sc.lastError())));
}

void reportVolumeWithoutDrive(StorageControl& sc, char letter)
{
    // Taken first: asking for the mount point is a request of its own.
    const int error = static_cast<int>(sc.lastError());
    std::string mountPoint;
    const std::string where = sc.systemName(rootPath(letter), mountPoint) ? " (" + mountPoint + ")" : "";
    std::fprintf(stderr, "quillfence: the disk of volume %c:%s could not be determined: %s\n", letter,
                 where.c_str(), std::strerror(error));
}
