#include "disk/PassThrough.h"

#include "disk/AtaSense.h"
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


// One ATA command on an opened drive, which is closed after it; false when
// the request did not go through.
bool sendAta(StorageControl& sc, DeviceHandle drive, const uint8_t taskFile[8], uint8_t* buffer, uint32_t length,
             bool dataIn, AtaTaskFile& returned)
{
    AtaTaskFile registers{};
    std::copy(taskFile, taskFile + registers.size(), registers.begin());
    const bool sent = sc.ataCommand(drive, registers, buffer, length, dataIn ? DataDirection::In : DataDirection::Out,
                                    dataIn ? kDataInTimeoutSeconds : kAtaDataOutTimeoutSeconds, returned);
    sc.close(drive);
    return sent;
}

// One SAT command block on an opened drive, which is closed after it; false
// when the request did not go through.
bool sendSat(StorageControl& sc, DeviceHandle drive, const uint8_t cdb[12], uint8_t* buffer, uint32_t length,
             bool dataIn, SatSense& sense)
{
    SatCdb command{};
    std::copy(cdb, cdb + command.size(), command.begin());
    const bool sent = sc.satCommand(drive, command, buffer, length, dataIn ? DataDirection::In : DataDirection::Out,
                                    dataIn ? kDataInTimeoutSeconds : kSatDataOutTimeoutSeconds, sense);
    sc.close(drive);
    return sent;
}

}  // namespace

bool AtaPassThrough(const std::string& devicePath, const uint8_t taskFile[8], uint8_t* buffer, uint32_t sectors,
                    bool dataIn, const DeviceIdentity* expected)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, expected);
    if (drive == kInvalidHandle)
        return false;
    AtaTaskFile returned{};
    return sendAta(sc, drive, taskFile, buffer, sectors * kSectorSize, dataIn, returned) &&
           !(returned[kReturnedStatus] & 0x01);
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
    SatSense sense{};
    return sendSat(sc, drive, cdb, buffer, sectors * kSectorSize, dataIn, sense) && sense[0] == 0;
}

bool AtaNonData(const std::string& devicePath, const uint8_t taskFile[8], AtaTaskFile& returned)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, nullptr);
    if (drive == kInvalidHandle)
        return false;
    return sendAta(sc, drive, taskFile, nullptr, 0, true, returned) && !(returned[kReturnedStatus] & 0x01);
}

bool ScsiNonData(const std::string& devicePath, const uint8_t cdb[12], AtaTaskFile& returned)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, nullptr);
    if (drive == kInvalidHandle)
        return false;
    SatSense sense{};
    if (!sendSat(sc, drive, cdb, nullptr, 0, true, sense))
        return false;
    const auto facts = decodeSense(sense.data(), sense.size());
    if (!facts || !registersOnly(*facts) || !facts->ataRegisters)
        return false;
    returned = *facts->ataRegisters;
    return !(returned[kReturnedStatus] & 0x01);
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
