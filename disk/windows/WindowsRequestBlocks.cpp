#include "disk/windows/WindowsRequestBlocks.h"

#include <algorithm>
#include <cstring>
#include <iterator>


void fillAtaRequest(ATA_PASS_THROUGH_DIRECT& request, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds)
{
    // Path, target, lun, the reserved members and the previous task file stay zero.
    std::memset(&request, 0, sizeof request);
    request.Length = static_cast<USHORT>(sizeof request);
    // A non-data command moves nothing; it needs a drive that is ready.
    request.AtaFlags = length == 0                       ? ATA_FLAGS_DRDY_REQUIRED
                       : direction == DataDirection::In ? ATA_FLAGS_DATA_IN
                                                        : ATA_FLAGS_DATA_OUT;
    request.DataTransferLength = length;
    request.TimeOutValue = timeoutSeconds;
    request.DataBuffer = length == 0 ? nullptr : buffer;
    std::copy(taskFile.begin(), taskFile.end(), request.CurrentTaskFile);
}

AtaTaskFile returnedTaskFile(const ATA_PASS_THROUGH_DIRECT& request)
{
    AtaTaskFile returned{};
    std::copy(std::begin(request.CurrentTaskFile), std::end(request.CurrentTaskFile), returned.begin());
    return returned;
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
    header.DataIn = length == 0                       ? SCSI_IOCTL_DATA_UNSPECIFIED
                    : direction == DataDirection::In ? SCSI_IOCTL_DATA_IN
                                                     : SCSI_IOCTL_DATA_OUT;
    header.DataTransferLength = length;
    header.TimeOutValue = timeoutSeconds;
    header.DataBuffer = length == 0 ? nullptr : buffer;
    header.SenseInfoOffset = static_cast<ULONG>(kSenseOffset);
    std::copy(cdb.begin(), cdb.end(), header.Cdb);
}

SatSense senseData(const ScsiRequest& request)
{
    SatSense sense{};
    const uint8_t* area = reinterpret_cast<const uint8_t*>(&request) + kSenseOffset;
    std::copy(area, area + kSenseLength, sense.begin());
    return sense;
}
