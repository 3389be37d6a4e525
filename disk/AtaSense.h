#pragma once
// Reading SCSI sense data that answers an ATA command: what went wrong, and
// the registers the drive returned where the sense carries them (SAT's ATA
// Status Return descriptor, or the fixed format's information fields). The
// Linux backend reads its SG_IO answers with it, the program the answers of
// USB bridges to commands that ask for their registers.

#include "disk/StorageControl.h"

#include <cstddef>
#include <cstdint>
#include <optional>

struct SenseFacts {
    uint8_t responseCode = 0;  // 70h/71h fixed, 72h/73h descriptor format
    uint8_t senseKey = 0;
    uint8_t asc = 0;
    uint8_t ascq = 0;
    std::optional<uint8_t> ataStatus;  // when the sense carries the ATA registers
    std::optional<uint8_t> ataError;
    // Every returned register in task-file order (error, count, LBA low, mid,
    // high, device, status), where the sense's layout places them all.
    std::optional<AtaTaskFile> ataRegisters;
};

constexpr uint8_t kSenseKeyRecoveredError = 0x01;
constexpr uint8_t kSenseKeyIllegalRequest = 0x05;
constexpr uint8_t kSenseKeyAbortedCommand = 0x0B;

// Decodes fixed or descriptor format sense data; nothing when there is none.
std::optional<SenseFacts> decodeSense(const uint8_t* sense, size_t length);

// True when the command did not fail but only returned its registers
// (RECOVERED ERROR, "ATA pass through information available").
bool registersOnly(const SenseFacts& sense);

// The status byte to report for an ATA command that ended with CHECK
// CONDITION: the drive's status when the sense carries it and the command
// merely returned its registers, otherwise a status with ERR set.
uint8_t ataStatusFromSense(const SenseFacts& sense);
