#include "disk/PassThrough.h"

#include "disk/PhyDiskInfo.h"
#include "disk/StorageBackend.h"

#include <algorithm>
#include <cstring>

bool AtaPassThrough(const std::string& devicePath, const uint8_t taskFile[8], uint8_t* buffer, uint32_t sectors,
                    bool dataIn)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = sc.open(devicePath, AccessMode::ReadWriteNoBuffering);
    if (drive == kInvalidHandle)
        return false;
    AtaTaskFile registers{};
    std::copy(taskFile, taskFile + registers.size(), registers.begin());
    uint8_t status = 0;
    const bool sent = sc.ataCommand(drive, registers, buffer, sectors * kSectorSize,
                                    dataIn ? DataDirection::In : DataDirection::Out,
                                    dataIn ? kDataInTimeoutSeconds : kAtaDataOutTimeoutSeconds, status);
    sc.close(drive);
    return sent && !(status & 0x01);
}

bool ScsiPassThrough(const std::string& devicePath, const uint8_t cdb[12], uint8_t* buffer, uint32_t sectors,
                     bool dataIn)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = sc.open(devicePath, AccessMode::ReadWriteNoBuffering);
    if (drive == kInvalidHandle)
        return false;
    if (dataIn)
        std::memset(buffer, 0, sectors * kSectorSize);
    SatCdb command{};
    std::copy(cdb, cdb + command.size(), command.begin());
    uint8_t senseByte0 = 0;
    const bool sent = sc.satCommand(drive, command, buffer, sectors * kSectorSize,
                                    dataIn ? DataDirection::In : DataDirection::Out,
                                    dataIn ? kDataInTimeoutSeconds : kSatDataOutTimeoutSeconds, senseByte0);
    sc.close(drive);
    return sent && senseByte0 == 0;
}

bool AtaPassThroughOut(const std::string& devicePath, const uint8_t taskFile[8], uint8_t* buffer, uint32_t sectors)
{
    return AtaPassThrough(devicePath, taskFile, buffer, sectors, false);
}

bool ScsiPassThroughOut(const std::string& devicePath, const uint8_t cdb[12], uint8_t* buffer, uint32_t sectors)
{
    return ScsiPassThrough(devicePath, cdb, buffer, sectors, false);
}
