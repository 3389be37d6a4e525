#include "disk/windows/WindowsRequestBlocks.h"

#include "disk/NvmeCommands.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {
constexpr size_t kProtocolDataOffset = offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters);

// The query's member values for an NVMe command, when it has a form there.
struct NvmeQueryForm {
    STORAGE_PROPERTY_ID property;
    DWORD dataType;
    DWORD requestValue;
    DWORD subValue;   // a log page's offset, low dword
    DWORD subValue2;  // and high dword
};

bool nvmeQueryForm(const NvmeAdminCommand& c, uint32_t length, NvmeQueryForm& form)
{
    if (c.opcode == kNvmeOpcodeIdentify) {
        const bool controller = c.nsid == 0 && c.cdw[0] == kNvmeIdentifyCnsController && c.cdw[1] == 0 &&
                                c.cdw[2] == 0 && c.cdw[3] == 0 && c.cdw[4] == 0 && c.cdw[5] == 0;
        if (!controller || length != kNvmeIdentifyLength)
            return false;
        form = {StorageAdapterProtocolSpecificProperty, NVMeDataTypeIdentify, kNvmeIdentifyCnsController, 0, 0};
        return true;
    }
    if (c.opcode == kNvmeOpcodeGetLogPage) {
        // The log page, its offset and length; no log-specific field, no
        // retained event, no identifier or UUID.
        const bool plain = (c.cdw[0] & 0xFF00) == 0 && (c.cdw[1] >> 16) == 0 && c.cdw[4] == 0 && c.cdw[5] == 0;
        if (!plain || NvmeLogPageLength(c) != length)
            return false;
        form = {StorageDeviceProtocolSpecificProperty, NVMeDataTypeLogPage, c.cdw[0] & 0xFF, c.cdw[2], c.cdw[3]};
        return true;
    }
    return false;
}
}  // namespace

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

bool fillNvmeQuery(std::vector<uint8_t>& query, const NvmeAdminCommand& command, uint32_t length)
{
    NvmeQueryForm form{};
    if (!nvmeQueryForm(command, length, form))
        return false;
    query.assign(kNvmeQueryDataOffset + length, 0);
    STORAGE_PROPERTY_QUERY header{};
    header.PropertyId = form.property;
    header.QueryType = PropertyStandardQuery;
    std::memcpy(query.data(), &header, kProtocolDataOffset);
    STORAGE_PROTOCOL_SPECIFIC_DATA data{};
    data.ProtocolType = ProtocolTypeNvme;
    data.DataType = form.dataType;
    data.ProtocolDataRequestValue = form.requestValue;
    data.ProtocolDataRequestSubValue = form.subValue;
    data.ProtocolDataRequestSubValue2 = form.subValue2;
    data.ProtocolDataOffset = sizeof data;
    data.ProtocolDataLength = length;
    std::memcpy(query.data() + kProtocolDataOffset, &data, sizeof data);
    return true;
}

bool readNvmeAnswer(const std::vector<uint8_t>& answer, size_t returned, uint32_t length, size_t& dataOffset,
                    uint32_t& completionDword0)
{
    STORAGE_PROTOCOL_DATA_DESCRIPTOR descriptor{};
    if (returned > answer.size() || returned < sizeof descriptor)
        return false;
    std::memcpy(&descriptor, answer.data(), sizeof descriptor);
    const STORAGE_PROTOCOL_SPECIFIC_DATA& data = descriptor.ProtocolSpecificData;
    const size_t start = offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData);
    if (descriptor.Version != sizeof descriptor || descriptor.Size != sizeof descriptor ||
        data.ProtocolDataOffset < sizeof data || data.ProtocolDataLength < length ||
        data.ProtocolDataOffset > returned - start || length > returned - start - data.ProtocolDataOffset)
        return false;
    dataOffset = start + data.ProtocolDataOffset;
    completionDword0 = data.FixedProtocolReturnData;
    return true;
}
