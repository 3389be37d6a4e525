#include "disk/linux/LinuxNvme.h"
#include "disk/linux/LinuxSgIo.h"
#include "disk/NvmeCommands.h"

#include <cerrno>

#include <gtest/gtest.h>


namespace {

TEST(SgIo, TaskFilesArePackedIntoAtaPassThrough16AsTheyStand)
{
    struct Case {
        AtaTaskFile taskFile;
        DataDirection direction;
        uint32_t length;
        Cdb16 cdb;
    };
    const Case cases[] = {
        // IDENTIFY DEVICE
        {{0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00}, DataDirection::In, 512,
         {0x85, 0x08, 0x0E, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00}},
        // SMART READ DATA, sector count 0 as given
        {{0xD0, 0x00, 0x00, 0x4F, 0xC2, 0x00, 0xB0, 0x00}, DataDirection::In, 512,
         {0x85, 0x08, 0x0E, 0x00, 0xD0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4F, 0x00, 0xC2, 0x00, 0xB0, 0x00}},
        // DOWNLOAD MICROCODE, data out
        {{0x03, 0x08, 0x00, 0x10, 0x00, 0x00, 0x92, 0x00}, DataDirection::Out, 4096,
         {0x85, 0x0A, 0x06, 0x00, 0x03, 0x00, 0x08, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x92, 0x00}},
        // a non-data command asks for the registers back
        {{0xD8, 0x00, 0x00, 0x4F, 0xC2, 0x00, 0xB0, 0x00}, DataDirection::Out, 0,
         {0x85, 0x06, 0x20, 0x00, 0xD8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4F, 0x00, 0xC2, 0x00, 0xB0, 0x00}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(packAtaPassThrough16(c.taskFile, c.direction, c.length), c.cdb) << int(c.taskFile[6]);
}

TEST(NvmeIoctl, CommandsArePackedIntoTheKernelsRequestAsTheyStand)
{
    uint8_t log[512];
    const NvmeAdminCommand command = {0x02, 0xFFFFFFFF, {0x007F0002, 0x11, 0x22, 0x33, 0x44, 0x55}};
    const nvme_admin_cmd request = packNvmeAdminCommand(command, log, sizeof log, 3);
    EXPECT_EQ(request.opcode, 0x02);
    EXPECT_EQ(request.flags, 0);
    EXPECT_EQ(request.nsid, 0xFFFFFFFFu);
    EXPECT_EQ(request.cdw2, 0u);
    EXPECT_EQ(request.cdw3, 0u);
    EXPECT_EQ(request.metadata, 0u);
    EXPECT_EQ(request.metadata_len, 0u);
    EXPECT_EQ(request.addr, reinterpret_cast<uintptr_t>(log));
    EXPECT_EQ(request.data_len, 512u);
    EXPECT_EQ((std::vector<uint32_t>{request.cdw10, request.cdw11, request.cdw12, request.cdw13, request.cdw14,
                                     request.cdw15}),
              (std::vector<uint32_t>{0x007F0002, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(request.timeout_ms, 3000u);
    EXPECT_EQ(request.result, 0u);
}

// The kernel moves data the way the opcode's low bits say: only commands
// that bring data from the controller are ever sent.
TEST(NvmeIoctl, OnlyCommandsThatReadFromTheDriveAreSent)
{
    struct Case {
        uint8_t opcode;
        bool reads;
    };
    const Case cases[] = {
        {0x02, true},   // Get Log Page
        {0x06, true},   // Identify
        {0x0A, true},   // Get Features
        {0x09, false},  // Set Features: data to the controller
        {0x80, false},  // Format NVM: no data
        {0x81, false},  // Security Send
        {0x7F, false},  // both ways
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nvmeOpcodeReadsFromDrive(c.opcode), c.reads) << int(c.opcode);
        // On no device at all: a command that is sent fails in the ioctl.
        uint8_t data[4096];
        const NvmeIoctlResult result = sendNvmeAdminCommand(-1, {c.opcode, 0, {}}, data, sizeof data, 3);
        EXPECT_FALSE(result.sent);
        EXPECT_EQ(result.error, c.reads ? EBADF : EINVAL) << int(c.opcode);
    }
}

}  // namespace
