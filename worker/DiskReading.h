#pragma once
// What the device thread hands the window: the disk list as one refresh read
// it, and the end of a firmware update with the drive read again. Every
// value that belongs to a disk carries that disk's number with it, so a
// result that arrives late can never be shown for another disk.

#include "disk/DiskList.h"
#include "disk/PhyDiskInfo.h"
#include "disk/PowerMode.h"
#include "firmware/FwUpdate.h"

#include <optional>
#include <vector>

// One disk as read: its record and, for a maker's drive that reports it, its
// remaining life in percent.
struct DiskReading {
    PhyDiskInfo record{};
    std::optional<int> life;
    // A reading that spares drives in standby asks each drive's power mode
    // first (`powerMode`, its answer); a drive in standby is `skipped`: it
    // received CHECK POWER MODE only, and `record` and `life` are those it
    // was last read with (as listed, when it never was).
    std::optional<PowerMode> powerMode;
    bool skipped = false;
};

// One whole refresh: the list status and the disks in list order.
struct DiskListReading {
    DiskListStatus status = DiskListStatus::Listed;
    std::vector<DiskReading> disks;
    // The list, read without the system disk, is empty and the system disk
    // is there: the window offers to show it.
    bool systemDiskLeftOut = false;
};

// The end of a firmware update: the outcome, and after a successful download
// the drive as it answers now (`reread` empty otherwise, or when it was not
// found again).
struct FirmwareUpdateResult {
    FwUpdateOutcome outcome;
    std::optional<DiskReading> reread;
    int diskNum = -1;
};

// The life a maker's drive reports in its SMART data, if any.
std::optional<int> RemainingLifeOf(const PhyDiskInfo& record);
