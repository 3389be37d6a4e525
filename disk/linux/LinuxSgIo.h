#pragma once
// ATA and SAT commands through the Linux SCSI generic ioctl SG_IO. The packing
// of a task file into a command block and the reading of sense data are kept
// apart from the ioctl, so they can be checked byte by byte.

#include "disk/StorageControl.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

using Cdb16 = std::array<uint8_t, 16>;

// ATA PASS-THROUGH (16) carrying an 8-byte task file as it stands: PIO data-in
// or data-out by direction (non-data when length is 0), transfer length from
// the Sector Count field counted in blocks. CK_COND only on non-data commands:
// on data commands some translators report it as an aborted command.
Cdb16 packAtaPassThrough16(const AtaTaskFile& taskFile, DataDirection direction, uint32_t length);

struct SenseFacts {
    uint8_t responseCode = 0;  // 70h/71h fixed, 72h/73h descriptor format
    uint8_t senseKey = 0;
    uint8_t asc = 0;
    uint8_t ascq = 0;
    std::optional<uint8_t> ataStatus;  // when the sense carries the ATA registers
    std::optional<uint8_t> ataError;
};

constexpr uint8_t kSenseKeyRecoveredError = 0x01;
constexpr uint8_t kSenseKeyIllegalRequest = 0x05;
constexpr uint8_t kSenseKeyAbortedCommand = 0x0B;

// Decodes fixed or descriptor format sense data; nothing when there is none.
std::optional<SenseFacts> decodeSense(const uint8_t* sense, size_t length);

// The status byte to report for an ATA command that ended with CHECK
// CONDITION: the drive's status when the sense carries it and the command
// merely returned its registers, otherwise a status with ERR set.
uint8_t ataStatusFromSense(const SenseFacts& sense);

// What one SG_IO request came back with.
struct SgIoResult {
    bool sent = false;           // ioctl succeeded, no host or driver error
    uint8_t scsiStatus = 0;
    std::array<uint8_t, 32> sense{};
    size_t senseLength = 0;
    int error = 0;               // errno when not sent
};

SgIoResult sendSgIo(int fd, const uint8_t* cdb, size_t cdbLength, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds);
