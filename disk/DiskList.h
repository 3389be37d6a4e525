#pragma once
// Enumeration of the physical drives and their bus type.

#include "disk/PhyDiskInfo.h"

#include <cstdint>

// What probing met besides the drives it lists.
struct ProbeReport {
    int accessDenied = 0;        // drives present but not opened for lack of rights
    bool notAuthorised = false;  // the administrator's authorisation was refused
};

// Fills diskNum, capacity, isSystemDisk and device of the first diskCount
// slots of diskList (kMaxDisks slots) for physical drives 0 to 25. False,
// with diskCount 0, when the system disk cannot be determined.
bool GetPhyDiskList(bool includeSystemDisk, int& diskCount, PhyDiskInfo* diskList, ProbeReport* report = nullptr);

// The storage descriptor's bus type of a drive; false when the drive cannot
// be opened or the query fails.
bool GetBusType(int diskNum, uint32_t& busType);

enum class DiskListStatus {
    Listed,        // the list is read; it may be empty
    NoSystemDisk,  // the system disk cannot be determined: the list is empty
    NoAccess,      // drives are there, but none could be opened for lack of rights
    NotAuthorised, // the administrator's authorisation to read drives was refused or cancelled
};

// One whole rebuild of the disk list, as every refresh does it: all slots
// zeroed, the drives other than the system disk (unless includeSystemDisk)
// listed with their partitions.
DiskListStatus ReadDiskList(int& diskCount, PhyDiskInfo* diskList, bool includeSystemDisk = false);

// Physical drive diskNum alone, as ReadDiskList lists it, with its
// partitions; nothing is sent to the drive and no other drive is opened.
// `found` is false when the drive is not in the list (absent, the system
// disk unless includeSystemDisk, or not opened).
DiskListStatus ListOneDisk(int diskNum, bool includeSystemDisk, PhyDiskInfo& disk, bool& found);

// ListOneDisk, then the drive's identity read (ReadDiskIdentity) when it was found.
DiskListStatus ReadOneDisk(int diskNum, bool includeSystemDisk, PhyDiskInfo& disk, bool& found);
