#pragma once
// The request blocks of the two pass-through requests and of the NVMe
// protocol-specific property query. They are filled here,
// apart from any device, so that a test can check them byte by byte.

#include "disk/StorageControl.h"
#include "disk/windows/WindowsApi.h"

#include <cstddef>
#include <cstdint>
#include <vector>

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

// The NVMe protocol-specific property query: the two members of
// STORAGE_PROPERTY_QUERY, a STORAGE_PROTOCOL_SPECIFIC_DATA as its additional
// parameters, then room for the data. The driver answers in the same buffer
// with a STORAGE_PROTOCOL_DATA_DESCRIPTOR, the data at the offset it names.
constexpr size_t kNvmeQueryDataOffset =
    offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters) + sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA);

// Fills `query` for `command` moving `length` bytes from the drive. Only
// Identify Controller (of the adapter) and Get Log Page (of the device, from
// any offset) have a form in the query, and only without fields it cannot
// carry: false for anything else. The driver sets the namespace ID itself.
bool fillNvmeQuery(std::vector<uint8_t>& query, const NvmeAdminCommand& command, uint32_t length);
// Where the data lies in the first `returned` bytes of an answer, and the
// completion's dword 0; false when the answer is no descriptor or does not
// hold `length` bytes of data.
bool readNvmeAnswer(const std::vector<uint8_t>& answer, size_t returned, uint32_t length, size_t& dataOffset,
                    uint32_t& completionDword0);
