#pragma once
// Lettered volumes mapped onto the physical disks of the disk list.

#include "disk/PhyDiskInfo.h"

// Fills partCount, partLetter, partTotal and partFree of the first diskCount
// records from the fixed lettered volumes; always returns 0.
int GetPartitionInfo(int diskCount, PhyDiskInfo* diskList);

// Number of the physical drive holding the volume with that letter, or -1.
int GetDiskNumOfVolume(char letter);
