#include "disk/windows/WindowsRequestBlocks.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kStatusByte = 6;  // Command on the way in, Status on the way out
}

void fillAtaRequest(ATA_PASS_THROUGH_DIRECT& request, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds)
{
    // Path, target, lun, the reserved members and the previous task file stay zero.
    std::memset(&request, 0, sizeof request);
    request.Length = static_cast<USHORT>(sizeof request);
    request.AtaFlags = direction == DataDirection::In ? ATA_FLAGS_DATA_IN : ATA_FLAGS_DATA_OUT;
    request.DataTransferLength = length;
    request.TimeOutValue = timeoutSeconds;
    request.DataBuffer = buffer;
    std::copy(taskFile.begin(), taskFile.end(), request.CurrentTaskFile);
}

uint8_t returnedStatus(const ATA_PASS_THROUGH_DIRECT& request)
{
    return request.CurrentTaskFile[kStatusByte];
}

void fillSatRequest(ScsiRequest& request, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds)
{
    // Everything not set here is zero, the four bytes after the 12-byte CDB too.
    std::memset(&request, 0, sizeof request);
    SCSI_PASS_THROUGH_DIRECT& header = request.header;
    header.Length = static_cast<USHORT>(sizeof header);
    header.TargetId = kSatTargetId;
    header.CdbLength = static_cast<UCHAR>(cdb.size());
    header.SenseInfoLength = kSenseLength;
    header.DataIn = direction == DataDirection::In ? SCSI_IOCTL_DATA_IN : SCSI_IOCTL_DATA_OUT;
    header.DataTransferLength = length;
    header.TimeOutValue = timeoutSeconds;
    header.DataBuffer = buffer;
    header.SenseInfoOffset = static_cast<ULONG>(kSenseOffset);
    std::copy(cdb.begin(), cdb.end(), header.Cdb);
}

uint8_t firstSenseByte(const ScsiRequest& request)
{
    return reinterpret_cast<const uint8_t*>(&request)[kSenseOffset];
}
