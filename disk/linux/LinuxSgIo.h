#pragma once
// ATA and SAT commands through the Linux SCSI generic ioctl SG_IO. The packing
// of a task file into a command block is kept apart from the ioctl, so it can
// be checked byte by byte; the sense data is read by disk/AtaSense.h.

#include "disk/AtaSense.h"
#include "disk/StorageControl.h"

#include <array>
#include <cstddef>
#include <cstdint>

using Cdb16 = std::array<uint8_t, 16>;

// ATA PASS-THROUGH (16) carrying an 8-byte task file as it stands: PIO data-in
// or data-out by direction (non-data when length is 0), transfer length from
// the Sector Count field counted in blocks. CK_COND only on non-data commands:
// on data commands some translators report it as an aborted command.
Cdb16 packAtaPassThrough16(const AtaTaskFile& taskFile, DataDirection direction, uint32_t length);

// What one SG_IO request came back with.
struct SgIoResult {
    bool sent = false;           // ioctl succeeded, no host or driver error
    uint8_t scsiStatus = 0;
    SatSense sense{};
    size_t senseLength = 0;
    int error = 0;               // errno when not sent
};

SgIoResult sendSgIo(int fd, const uint8_t* cdb, size_t cdbLength, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds);
