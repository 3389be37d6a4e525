#pragma once
// The request blocks of the two pass-through requests. They are filled here,
// apart from any device, so that a test can check them byte by byte.

#include "disk/StorageControl.h"
#include "disk/windows/WindowsApi.h"

#include <cstddef>
#include <cstdint>

// The SCSI request: 560 zero-filled bytes, the structure at their start and
// the sense area at byte 48, just past the structure of a 32-bit build
// (44 bytes). The structure of a 64-bit build is 56 bytes long; there the
// sense area follows it directly.
constexpr size_t kScsiRequestSize = 560;
constexpr size_t kSenseOffset = sizeof(SCSI_PASS_THROUGH_DIRECT) > 48 ? sizeof(SCSI_PASS_THROUGH_DIRECT) : 48;
constexpr uint8_t kSenseLength = 24;
// USB bridges are addressed as target 1, not 0.
constexpr uint8_t kSatTargetId = 1;

struct ScsiRequest {
    SCSI_PASS_THROUGH_DIRECT header;
    uint8_t rest[kScsiRequestSize - sizeof(SCSI_PASS_THROUGH_DIRECT)];
};
static_assert(sizeof(ScsiRequest) == kScsiRequestSize, "the SCSI request is 560 bytes");
static_assert(kSenseOffset % alignof(SCSI_PASS_THROUGH_DIRECT) == 0 && kSenseOffset + kSenseLength <= kScsiRequestSize,
              "the sense area lies inside the request, past the structure");

// Fills `request` for one ATA command on `length` bytes of `buffer`; a
// length of 0 is a non-data command.
void fillAtaRequest(ATA_PASS_THROUGH_DIRECT& request, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds);
// The registers of a completed request, which the driver writes over the
// task file: error, count, LBA, device, and the status in the Command byte.
AtaTaskFile returnedTaskFile(const ATA_PASS_THROUGH_DIRECT& request);

// Fills `request` for one SAT command block on `length` bytes of `buffer`;
// a length of 0 moves no data.
void fillSatRequest(ScsiRequest& request, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds);
// The sense area as the bridge left it: a first byte of 0 when it reported
// nothing.
SatSense senseData(const ScsiRequest& request);
