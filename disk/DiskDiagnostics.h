#pragma once
// The diagnostic lines of the disk layer on the standard error stream, for
// the people who run the program: what failed and the system's reason, in
// the platform's own terms (the Windows calls and their error numbers on
// Windows; the file system, the volume and strerror() on Linux). Each
// platform's folder defines them. `sc` is the backend whose request failed:
// its lastError() is the reason.

#include "disk/StorageControl.h"

// The system directory, whose volume holds the system, could not be found.
void reportNoSystemDirectory(StorageControl& sc);
// The volume with `letter` could not be opened.
void reportVolumeNotOpened(StorageControl& sc, char letter);
// The physical drive that holds the volume with `letter` could not be told.
void reportVolumeWithoutDrive(StorageControl& sc, char letter);
