#include "disk/PassThrough.h"

#include "disk/PhyDiskInfo.h"
#include "disk/StorageBackend.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// The drive opened for one command; invalid when it cannot be opened or is
// no longer the expected device.
DeviceHandle openDrive(StorageControl& sc, const std::string& devicePath, const DeviceIdentity* expected)
{
    const DeviceHandle drive = sc.open(devicePath, AccessMode::ReadWriteNoBuffering);
    if (drive == kInvalidHandle || !expected)
        return drive;
    DeviceIdentity actual{};
    if (!sc.queryDeviceIdentity(drive, actual) || actual != *expected) {
        std::fprintf(stderr, "%s is not the device it was when the drive was read; nothing is sent to it\n",
                     devicePath.c_str());
        sc.close(drive);
        return kInvalidHandle;
    }
    return drive;
}

}  // namespace

bool AtaPassThrough(const std::string& devicePath, const uint8_t taskFile[8], uint8_t* buffer, uint32_t sectors,
                    bool dataIn, const DeviceIdentity* expected)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, expected);
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
                     bool dataIn, const DeviceIdentity* expected)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, expected);
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

bool AtaPassThroughOut(const std::string& devicePath, const uint8_t taskFile[8], uint8_t* buffer, uint32_t sectors,
                       const DeviceIdentity* expected)
{
    return AtaPassThrough(devicePath, taskFile, buffer, sectors, false, expected);
}

bool ScsiPassThroughOut(const std::string& devicePath, const uint8_t cdb[12], uint8_t* buffer, uint32_t sectors,
                        const DeviceIdentity* expected)
{
    return ScsiPassThrough(devicePath, cdb, buffer, sectors, false, expected);
}

bool NvmeAdminPassThrough(const std::string& devicePath, const NvmeAdminCommand& command, uint8_t* buffer,
                          uint32_t length)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, nullptr);
    if (drive == kInvalidHandle)
        return false;
    std::memset(buffer, 0, length);
    uint16_t status = 0;
    uint32_t result = 0;
    const bool sent = sc.nvmeAdminCommand(drive, command, buffer, length, kDataInTimeoutSeconds, status, result);
    sc.close(drive);
    return sent && status == 0;
}
