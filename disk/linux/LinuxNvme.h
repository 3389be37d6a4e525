#pragma once
// NVMe admin commands through the kernel's NVMe admin-command ioctl on a
// namespace's (or the controller's) device node. The request is packed apart
// from the ioctl, so it can be checked field by field.

#include "disk/StorageControl.h"

#include <cstdint>
#include <linux/nvme_ioctl.h>

// The kernel moves a command's data the way the opcode's two low bits say;
// only those that bring data from the controller (10b) are sent here.
bool nvmeOpcodeReadsFromDrive(uint8_t opcode);

// The request for `command` moving `length` bytes from the drive into `buffer`.
nvme_admin_cmd packNvmeAdminCommand(const NvmeAdminCommand& command, uint8_t* buffer, uint32_t length,
                                    uint32_t timeoutSeconds);

// What one NVMe admin-command request came back with.
struct NvmeIoctlResult {
    bool sent = false;    // the controller completed the command, with whatever status
    uint16_t status = 0;  // the completion's status field; 0: success
    uint32_t result = 0;  // the completion's dword 0
    int error = 0;        // errno when not sent
};

NvmeIoctlResult sendNvmeAdminCommand(int fd, const NvmeAdminCommand& command, uint8_t* buffer, uint32_t length,
                                     uint32_t timeoutSeconds);
