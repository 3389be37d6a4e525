#include "helper/CommandPolicy.h"

#include "disk/IdentityCommands.h"
#include "disk/NvmeCommands.h"
#include "disk/PowerMode.h"

#include <algorithm>

namespace {

constexpr uint32_t kSector = 512;
constexpr uint8_t kDownloadMicrocode = 0x92;
constexpr uint8_t kDownloadWithOffsets = 0x03, kDownloadWhole = 0x07;
// The largest pieces the program sends: 256 sectors on the ATA route, 8
// through a USB bridge.
constexpr uint32_t kAtaMaxBlocks = 256, kSatMaxBlocks = 8;
constexpr uint8_t kSatUdmaOut = 0x16, kSatPioOut = 0x0A, kSatToDevice = 0x03;

CommandVerdict allow(bool download = false)
{
    return {true, download, {}};
}

CommandVerdict refuse(const std::string& reason)
{
    return {false, false, reason};
}

// One of the identity read's sectors, whichever form `block` is.
template <size_t N>
CommandVerdict checkIdentityRead(const std::array<uint8_t, N>& block, const uint8_t (IdentityCommand::*form)[N],
                                 DataDirection direction, uint32_t length)
{
    for (const IdentityCommand* command : kIdentityCommands) {
        if (std::equal(block.begin(), block.end(), command->*form)) {
            if (direction != DataDirection::In || length != kSector)
                return refuse("a read of one sector moves 512 bytes from the drive");
            return allow();
        }
    }
    return refuse("not a command this program sends");
}

// CHECK POWER MODE exactly as the program builds it: no data.
template <size_t N>
CommandVerdict checkPowerModeQuery(const std::array<uint8_t, N>& block, const uint8_t (IdentityCommand::*form)[N],
                                   DataDirection direction, uint32_t length)
{
    if (!std::equal(block.begin(), block.end(), kCheckPowerMode.*form))
        return refuse("not a command this program sends");
    if (direction != DataDirection::In || length != 0)
        return refuse("CHECK POWER MODE moves no data");
    return allow();
}

CommandVerdict checkDownload(uint8_t features, uint32_t blocks, uint32_t maxBlocks, DataDirection direction,
                             uint32_t length)
{
    if (features != kDownloadWithOffsets && features != kDownloadWhole)
        return refuse("DOWNLOAD MICROCODE with a subcommand this program does not send");
    if (blocks == 0 || blocks > maxBlocks)
        return refuse("DOWNLOAD MICROCODE with a block count this program does not send");
    if (direction != DataDirection::Out || length != blocks * kSector)
        return refuse("DOWNLOAD MICROCODE data must be as long as its block count says");
    return allow(true);
}

}  // namespace

CommandVerdict checkAtaCommand(const AtaTaskFile& t, DataDirection direction, uint32_t length)
{
    if (t[6] == kDownloadMicrocode) {
        if (t[5] != 0x00 || t[7] != 0x00)
            return refuse("DOWNLOAD MICROCODE with registers this program does not set");
        return checkDownload(t[0], t[1] | t[2] << 8, kAtaMaxBlocks, direction, length);
    }
    if (t[6] == kCheckPowerMode.taskFile[6])
        return checkPowerModeQuery(t, &IdentityCommand::taskFile, direction, length);
    return checkIdentityRead(t, &IdentityCommand::taskFile, direction, length);
}

CommandVerdict checkSatCommand(const SatCdb& c, DataDirection direction, uint32_t length)
{
    if (c[0] == 0xA1 && c[9] == kDownloadMicrocode) {
        if ((c[1] != kSatUdmaOut && c[1] != kSatPioOut) || c[2] != kSatToDevice || c[8] != 0xE0 || c[10] != 0 ||
            c[11] != 0)
            return refuse("DOWNLOAD MICROCODE in a command block this program does not build");
        return checkDownload(c[3], c[4] | c[5] << 8, kSatMaxBlocks, direction, length);
    }
    if (c[0] == 0xA1 && c[9] == kCheckPowerMode.cdb[9])
        return checkPowerModeQuery(c, &IdentityCommand::cdb, direction, length);
    return checkIdentityRead(c, &IdentityCommand::cdb, direction, length);
}

CommandVerdict checkNvmeCommand(const NvmeAdminCommand& command, uint32_t length)
{
    // Exactly as the program builds them, each moving its whole structure.
    if (command == kNvmeIdentifyController)
        return length == kNvmeIdentifyLength ? allow() : refuse("Identify Controller moves 4096 bytes");
    if (command == kNvmeHealthLog)
        return length == kNvmeHealthLength ? allow() : refuse("the health log page moves 512 bytes");
    return refuse("not an NVMe command this program sends");
}
