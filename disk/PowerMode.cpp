#include "disk/PowerMode.h"

#include "disk/DevicePath.h"
#include "disk/DiskIdentity.h"
#include "disk/DiskList.h"
#include "disk/PassThrough.h"
#include "disk/StorageControl.h"

PowerMode PowerModeOf(uint8_t sectorCount)
{
    if (sectorCount == 0x00 || sectorCount == 0x01 || sectorCount == 0x40)
        return PowerMode::Standby;
    if (sectorCount >= 0x80 && sectorCount <= 0x83)
        return PowerMode::Idle;
    return PowerMode::ActiveOrIdle;
}

const char* PowerModeName(PowerMode mode)
{
    switch (mode) {
    case PowerMode::Standby:
        return "standby";
    case PowerMode::Idle:
        return "idle";
    case PowerMode::ActiveOrIdle:
        break;
    }
    return "active_or_idle";
}

std::optional<PowerMode> CheckPowerMode(int diskNum)
{
    uint32_t busType = 0;
    if (!GetBusType(diskNum, busType) || busType == kBusTypeNvme)
        return std::nullopt;
    const std::string path = physicalDrivePath(diskNum);
    AtaTaskFile returned{};
    const bool answered = busType == kBusTypeUsb ? ScsiNonData(path, kCheckPowerMode.cdb, returned)
                                                 : AtaNonData(path, kCheckPowerMode.taskFile, returned);
    if (!answered)
        return std::nullopt;
    return PowerModeOf(returned[kReturnedCount]);
}

StandbyCheck ReadIdentityUnlessStandby(PhyDiskInfo& disk)
{
    StandbyCheck check;
    check.mode = CheckPowerMode(disk.diskNum);
    check.skipped = check.mode == PowerMode::Standby;
    if (!check.skipped)
        ReadDiskIdentity(disk);
    return check;
}
