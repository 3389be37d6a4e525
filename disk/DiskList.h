#pragma once
// Enumeration of the physical drives and their bus type.

#include "disk/PhyDiskInfo.h"

#include <cstdint>

// Fills diskNum, capacity and isSystemDisk of the first diskCount slots of
// diskList (kMaxDisks slots) for physical drives 0 to 25. False, with
// diskCount 0, when the system disk cannot be determined.
bool GetPhyDiskList(bool includeSystemDisk, int& diskCount, PhyDiskInfo* diskList);

// The storage descriptor's bus type of a drive; false when the drive cannot
// be opened or the query fails.
bool GetBusType(int diskNum, uint32_t& busType);

// One whole rebuild of the disk list, as every refresh does it: all slots
// zeroed, the drives other than the system disk listed with their partitions.
// False when the system disk cannot be determined (the list is then empty).
bool ReadDiskList(int& diskCount, PhyDiskInfo* diskList);
