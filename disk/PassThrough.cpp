#include "disk/PassThrough.h"

#include "disk/AtaSense.h"
#include "disk/DevicePath.h"
#include "disk/PhyDiskInfo.h"
#include "disk/StorageBackend.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Says why a command did not complete, where the caller asked.
bool outcome(bool completed, CommandFailure why, CommandFailure* failure)
{
    if (failure)
        *failure = completed ? CommandFailure::None : why;
    return completed;
}

// The drive opened for one command: with `expected`, the device that was
// read, wherever it is now; invalid when it cannot be opened or is gone.
DeviceHandle openDrive(StorageControl& sc, const std::string& devicePath, const DeviceIdentity* expected)
{
    if (!expected)
        return sc.open(devicePath, AccessMode::ReadWriteNoBuffering);
    const DeviceHandle drive = sc.openDevice(*expected, AccessMode::ReadWriteNoBuffering);
    const auto name = parseDevicePath(devicePath);
    if (drive == kInvalidHandle && name)
        std::fprintf(stderr, "physical drive %d: the device read from it is not there any more; nothing is sent to it\n",
                     name->diskNum);
    return drive;
}

// Why a request on an opened drive did not go through: refused unsent while
// a writer holds the drive, otherwise broken on its way.
CommandFailure requestFailure(StorageControl& sc)
{
    return sc.lastFailure() == Failure::Locked ? CommandFailure::Busy : CommandFailure::Failed;
}

// One ATA command on an opened drive, which is closed after it; false when
// the request did not go through (`failure` says why).
bool sendAta(StorageControl& sc, DeviceHandle drive, const uint8_t taskFile[8], uint8_t* buffer, uint32_t length,
             bool dataIn, AtaTaskFile& returned, CommandFailure& failure)
{
    AtaTaskFile registers{};
    std::copy(taskFile, taskFile + registers.size(), registers.begin());
    const bool sent = sc.ataCommand(drive, registers, buffer, length, dataIn ? DataDirection::In : DataDirection::Out,
                                    dataIn ? kDataInTimeoutSeconds : kAtaDataOutTimeoutSeconds, returned);
    failure = sent ? CommandFailure::Failed : requestFailure(sc);
    sc.close(drive);
    return sent;
}

// One SAT command block on an opened drive, which is closed after it; false
// when the request did not go through (`failure` says why).
bool sendSat(StorageControl& sc, DeviceHandle drive, const uint8_t cdb[12], uint8_t* buffer, uint32_t length,
             bool dataIn, SatSense& sense, CommandFailure& failure)
{
    SatCdb command{};
    std::copy(cdb, cdb + command.size(), command.begin());
    const bool sent = sc.satCommand(drive, command, buffer, length, dataIn ? DataDirection::In : DataDirection::Out,
                                    dataIn ? kDataInTimeoutSeconds : kSatDataOutTimeoutSeconds, sense);
    failure = sent ? CommandFailure::Failed : requestFailure(sc);
    sc.close(drive);
    return sent;
}

}  // namespace

bool AtaPassThrough(const std::string& devicePath, const uint8_t taskFile[8], uint8_t* buffer, uint32_t sectors,
                    bool dataIn, const DeviceIdentity* expected, CommandFailure* failure)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, expected);
    if (drive == kInvalidHandle)
        return outcome(false, CommandFailure::NotSent, failure);
    AtaTaskFile returned{};
    CommandFailure why = CommandFailure::Failed;
    const bool sent = sendAta(sc, drive, taskFile, buffer, sectors * kSectorSize, dataIn, returned, why);
    return outcome(sent && !(returned[kReturnedStatus] & 0x01), why, failure);
}

bool ScsiPassThrough(const std::string& devicePath, const uint8_t cdb[12], uint8_t* buffer, uint32_t sectors,
                     bool dataIn, const DeviceIdentity* expected, CommandFailure* failure)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, expected);
    if (drive == kInvalidHandle)
        return outcome(false, CommandFailure::NotSent, failure);
    if (dataIn)
        std::memset(buffer, 0, sectors * kSectorSize);
    SatSense sense{};
    CommandFailure why = CommandFailure::Failed;
    const bool sent = sendSat(sc, drive, cdb, buffer, sectors * kSectorSize, dataIn, sense, why);
    return outcome(sent && sense[0] == 0, why, failure);
}

bool AtaNonData(const std::string& devicePath, const uint8_t taskFile[8], AtaTaskFile& returned)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, nullptr);
    if (drive == kInvalidHandle)
        return false;
    CommandFailure why = CommandFailure::Failed;
    return sendAta(sc, drive, taskFile, nullptr, 0, true, returned, why) && !(returned[kReturnedStatus] & 0x01);
}

bool ScsiNonData(const std::string& devicePath, const uint8_t cdb[12], AtaTaskFile& returned)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, nullptr);
    if (drive == kInvalidHandle)
        return false;
    SatSense sense{};
    CommandFailure why = CommandFailure::Failed;
    if (!sendSat(sc, drive, cdb, nullptr, 0, true, sense, why))
        return false;
    const auto facts = decodeSense(sense.data(), sense.size());
    if (!facts || !registersOnly(*facts) || !facts->ataRegisters)
        return false;
    returned = *facts->ataRegisters;
    return !(returned[kReturnedStatus] & 0x01);
}

bool AtaPassThroughOut(const std::string& devicePath, const uint8_t taskFile[8], uint8_t* buffer, uint32_t sectors,
                       const DeviceIdentity* expected, CommandFailure* failure)
{
    return AtaPassThrough(devicePath, taskFile, buffer, sectors, false, expected, failure);
}

bool ScsiPassThroughOut(const std::string& devicePath, const uint8_t cdb[12], uint8_t* buffer, uint32_t sectors,
                        const DeviceIdentity* expected, CommandFailure* failure)
{
    return ScsiPassThrough(devicePath, cdb, buffer, sectors, false, expected, failure);
}

bool NvmeAdminPassThrough(const std::string& devicePath, const NvmeAdminCommand& command, uint8_t* buffer,
                          uint32_t length, CommandFailure* failure)
{
    StorageControl& sc = storage();
    const DeviceHandle drive = openDrive(sc, devicePath, nullptr);
    if (drive == kInvalidHandle)
        return outcome(false, CommandFailure::NotSent, failure);
    std::memset(buffer, 0, length);
    uint16_t status = 0;
    uint32_t result = 0;
    const bool sent = sc.nvmeAdminCommand(drive, command, buffer, length, kDataInTimeoutSeconds, status, result);
    const CommandFailure why = sent ? CommandFailure::Failed : requestFailure(sc);
    sc.close(drive);
    return outcome(sent && status == 0, why, failure);
}
