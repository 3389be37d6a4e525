#include "disk/linux/LinuxNvme.h"

#include <cerrno>
#include <sys/ioctl.h>

namespace {
constexpr uint8_t kTransferMask = 0x03;
constexpr uint8_t kTransferFromController = 0x02;
}  // namespace

bool nvmeOpcodeReadsFromDrive(uint8_t opcode)
{
    return (opcode & kTransferMask) == kTransferFromController;
}

nvme_admin_cmd packNvmeAdminCommand(const NvmeAdminCommand& command, uint8_t* buffer, uint32_t length,
                                    uint32_t timeoutSeconds)
{
    nvme_admin_cmd request{};
    request.opcode = command.opcode;
    request.nsid = command.nsid;
    request.addr = length ? reinterpret_cast<uintptr_t>(buffer) : 0;
    request.data_len = length;
    request.cdw10 = command.cdw[0];
    request.cdw11 = command.cdw[1];
    request.cdw12 = command.cdw[2];
    request.cdw13 = command.cdw[3];
    request.cdw14 = command.cdw[4];
    request.cdw15 = command.cdw[5];
    request.timeout_ms = timeoutSeconds * 1000;
    return request;
}

NvmeIoctlResult sendNvmeAdminCommand(int fd, const NvmeAdminCommand& command, uint8_t* buffer, uint32_t length,
                                     uint32_t timeoutSeconds)
{
    NvmeIoctlResult result;
    if (!nvmeOpcodeReadsFromDrive(command.opcode)) {
        result.error = EINVAL;
        return result;
    }
    nvme_admin_cmd request = packNvmeAdminCommand(command, buffer, length, timeoutSeconds);
    // Negative: the request failed; positive: the command's status field.
    const int answer = ioctl(fd, NVME_IOCTL_ADMIN_CMD, &request);
    if (answer < 0) {
        result.error = errno;
        return result;
    }
    result.sent = true;
    result.status = static_cast<uint16_t>(answer);
    result.result = request.result;
    return result;
}
