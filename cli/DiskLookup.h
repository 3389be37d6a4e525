#pragma once
// The drives as the commands read them: the whole list, or one drive alone,
// each drive read once.

#include "disk/DiskList.h"
#include "disk/PhyDiskInfo.h"
#include "disk/PowerMode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ReadOptions {
    bool includeSystemDisk = false;  // --include-system
    // --nocheck standby: ask the drive's power mode first and send nothing
    // more to a drive in standby.
    bool noCheckStandby = false;
};

// One listed drive and what the system tells of it besides.
struct DriveReading {
    PhyDiskInfo disk{};                       // with partitions; identity read unless skipped
    std::optional<std::string> device;        // the system's name: "/dev/sdb", "\\.\PHYSICALDRIVE2"
    std::optional<uint32_t> busType;
    std::vector<std::optional<std::string>> mountPoints;  // one per partition of the record
    std::optional<PowerMode> powerMode;       // when asked and answered
    bool skipped = false;                     // in standby: CHECK POWER MODE was all it received
};

// What a drive that another program was writing to is said to be.
constexpr const char* kBusyText = "busy: another program is updating its firmware; nothing was sent to it";

// The whole list, each drive read once. A status other than Listed has its
// message on standard error.
DiskListStatus readDrives(const ReadOptions& options, std::vector<DriveReading>& drives);

// Physical drive `diskNum` alone; no other drive is opened. Nothing, with a
// message on standard error, when it is not in the list.
std::optional<DriveReading> readDrive(int diskNum, const ReadOptions& options);

// Physical drive `diskNum` for a firmware update: its identity read, no
// other drive opened. Nothing, with a message on standard error, when it is
// not in the list, is the system disk (whose firmware is never updated) or
// its identity could not be read.
std::optional<PhyDiskInfo> readDiskToUpdate(int diskNum);

// The decimal drive number of an argument, if it is one.
std::optional<int> parseDiskNumber(const std::string& text);
