#pragma once
// The only road to a drive's commands: ATA task files on SATA (and every
// other bus but USB and NVMe), SAT ATA PASS-THROUGH (12) commands behind USB
// bridges, NVMe admin commands to NVMe drives. `devicePath` is
// "\\.\PHYSICALDRIVE<n>"; `buffer` holds sectors × 512 bytes.
// With `expected`, a command goes to that device, the one the drive was read
// from, and to no other (a drive number can come to name another disk):
// nothing is sent when it is gone. With `failure`, a command that did not
// complete says why.

#include "disk/DeviceIdentity.h"
#include "disk/StorageControl.h"

#include <cstdint>
#include <string>

// Why a command did not complete.
enum class CommandFailure {
    None,     // it completed
    NotSent,  // the drive could not be opened, or was not the device expected: nothing reached it
    Busy,     // another program is writing to the drive: nothing reached it
    Failed,   // the request broke, or the drive failed the command
};

constexpr uint32_t kDataInTimeoutSeconds = 3;
constexpr uint32_t kAtaDataOutTimeoutSeconds = 10;
constexpr uint32_t kSatDataOutTimeoutSeconds = 5;

// True when the request went through and the drive did not set ERR.
bool AtaPassThrough(const std::string& devicePath, const uint8_t taskFile[8], uint8_t* buffer, uint32_t sectors,
                    bool dataIn, const DeviceIdentity* expected = nullptr, CommandFailure* failure = nullptr);
// True when the request went through and the bridge returned no sense data.
// A data-in buffer is cleared before the command.
bool ScsiPassThrough(const std::string& devicePath, const uint8_t cdb[12], uint8_t* buffer, uint32_t sectors,
                     bool dataIn, const DeviceIdentity* expected = nullptr, CommandFailure* failure = nullptr);

// A non-data command. True when the drive completed it, with the registers
// it returned (error, count, LBA low, mid, high, device, status, reserved).
bool AtaNonData(const std::string& devicePath, const uint8_t taskFile[8], AtaTaskFile& returned);
// The same through a USB bridge, for a command block with CK_COND: true only
// when the bridge returned the drive's registers and the drive did not fail.
bool ScsiNonData(const std::string& devicePath, const uint8_t cdb[12], AtaTaskFile& returned);

bool AtaPassThroughOut(const std::string& devicePath, const uint8_t taskFile[8], uint8_t* buffer, uint32_t sectors,
                       const DeviceIdentity* expected = nullptr, CommandFailure* failure = nullptr);
bool ScsiPassThroughOut(const std::string& devicePath, const uint8_t cdb[12], uint8_t* buffer, uint32_t sectors,
                        const DeviceIdentity* expected = nullptr, CommandFailure* failure = nullptr);

// True when the request went through and the controller completed the
// command successfully; `length` bytes of data come into `buffer`, which is
// cleared before the command.
bool NvmeAdminPassThrough(const std::string& devicePath, const NvmeAdminCommand& command, uint8_t* buffer,
                          uint32_t length, CommandFailure* failure = nullptr);
