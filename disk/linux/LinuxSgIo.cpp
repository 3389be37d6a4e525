#include "disk/linux/LinuxSgIo.h"

#include <algorithm>
#include <cerrno>
#include <scsi/sg.h>
#include <sys/ioctl.h>

namespace {

constexpr uint8_t kAtaPassThrough16 = 0x85;
constexpr uint8_t kProtocolNonData = 3, kProtocolPioIn = 4, kProtocolPioOut = 5;
constexpr uint8_t kCheckCondition = 0x02;
constexpr uint8_t kDriverErrorMask = 0x07;  // DRIVER_SENSE (08h) alone is no error

}  // namespace

Cdb16 packAtaPassThrough16(const AtaTaskFile& t, DataDirection direction, uint32_t length)
{
    Cdb16 cdb{};
    cdb[0] = kAtaPassThrough16;
    if (length == 0) {
        cdb[1] = kProtocolNonData << 1;
        cdb[2] = 0x20;  // CK_COND: return the registers
    } else if (direction == DataDirection::In) {
        cdb[1] = kProtocolPioIn << 1;
        cdb[2] = 0x0E;  // T_DIR from device, BYTE_BLOCK, length in Sector Count
    } else {
        cdb[1] = kProtocolPioOut << 1;
        cdb[2] = 0x06;  // to device, BYTE_BLOCK, length in Sector Count
    }
    cdb[4] = t[0];   // features
    cdb[6] = t[1];   // sector count
    cdb[8] = t[2];   // LBA low
    cdb[10] = t[3];  // LBA mid
    cdb[12] = t[4];  // LBA high
    cdb[13] = t[5];  // device
    cdb[14] = t[6];  // command
    return cdb;
}

SgIoResult sendSgIo(int fd, const uint8_t* cdb, size_t cdbLength, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds)
{
    SgIoResult result;
    sg_io_hdr_t request{};
    request.interface_id = 'S';
    request.dxfer_direction = length == 0 ? SG_DXFER_NONE
                              : direction == DataDirection::In ? SG_DXFER_FROM_DEV
                                                               : SG_DXFER_TO_DEV;
    request.cmd_len = static_cast<unsigned char>(cdbLength);
    request.cmdp = const_cast<uint8_t*>(cdb);
    request.dxfer_len = length;
    request.dxferp = length ? buffer : nullptr;
    request.mx_sb_len = static_cast<unsigned char>(result.sense.size());
    request.sbp = result.sense.data();
    request.timeout = timeoutSeconds * 1000;

    if (ioctl(fd, SG_IO, &request) != 0) {
        result.error = errno;
        return result;
    }
    if (request.host_status != 0 || (request.driver_status & kDriverErrorMask) != 0) {
        result.error = EIO;
        return result;
    }
    result.sent = true;
    result.scsiStatus = request.status;
    result.senseLength = request.sb_len_wr;
    return result;
}
