#include "firmware/FwDownload.h"

#include "disk/DevicePath.h"
#include "disk/PassThrough.h"
#include "firmware/FwImage.h"
#include "firmware/FwResult.h"

namespace {

constexpr uint8_t kDownloadMicrocode = 0x92;
constexpr uint8_t kFeaturesWhole = 0x07;   // download and save in one piece
constexpr uint8_t kFeaturesOffsets = 0x03; // download with offsets and save
constexpr uint8_t kAtaDevice = 0x00;
constexpr uint8_t kSatDevice = 0xE0;
constexpr uint8_t kSatOpcode12 = 0xA1;
constexpr uint8_t kSatUdmaOut = 0x16;      // protocol 11
constexpr uint8_t kSatPioOut = 0x0A;       // protocol 5
constexpr uint8_t kSatToDevice = 0x03;     // T_LENGTH in Sector Count, counted in blocks

uint8_t low(uint16_t value)
{
    return static_cast<uint8_t>(value & 0xFF);
}

uint8_t high(uint16_t value)
{
    return static_cast<uint8_t>(value >> 8);
}

// Prepares the image, then sends each planned command through `send`
// (command, its data; how it went) until one fails. A command that never
// reached the drive is not counted as sent.
template <typename Send>
int download(const std::string& imagePath, uint32_t blockSize, FwTransfer* transfer, const FwProgress& report,
             Send send)
{
    FwTransfer progress;
    FwImage image;
    int result = PrepareFwImage(imagePath, image);
    if (result == kFwOk) {
        const std::vector<FwCommand> plan = PlanFwDownload(image.sectors(), blockSize);
        progress.planned = static_cast<int>(plan.size());
        if (report)
            report(progress);
        for (const FwCommand& command : plan) {
            const CommandFailure failure = send(command, image.buffer.data() + size_t(command.offset) * kFwSectorSize);
            if (failure == CommandFailure::NotSent || failure == CommandFailure::Busy) {
                result = progress.sent == 0 ? kFwDriveChanged : kFwCommandFailed;
                break;
            }
            ++progress.sent;
            if (report)
                report(progress);
            if (failure != CommandFailure::None) {
                result = kFwCommandFailed;
                break;
            }
        }
    }
    if (transfer)
        *transfer = progress;
    return result;
}

}  // namespace

std::vector<FwCommand> PlanFwDownload(uint32_t n, uint32_t c)
{
    if (n <= c)
        return {{FwCommandKind::Single, kFeaturesWhole, static_cast<uint16_t>(n), 0}};
    std::vector<FwCommand> plan;
    // The first n − 1 sectors in k pieces, the last of them r ≤ c sectors long.
    const uint32_t k = (n - 1 + c - 1) / c;
    for (uint32_t i = 0; i + 1 < k; ++i)
        plan.push_back({FwCommandKind::Piece, kFeaturesOffsets, static_cast<uint16_t>(c), static_cast<uint16_t>(i * c)});
    const uint32_t r = (n - 1) - (k - 1) * c;
    plan.push_back({FwCommandKind::Piece, kFeaturesOffsets, static_cast<uint16_t>(r), static_cast<uint16_t>((k - 1) * c)});
    plan.push_back({FwCommandKind::Final, kFeaturesOffsets, 1, static_cast<uint16_t>(n - 1)});
    return plan;
}

AtaTaskFile FwAtaTaskFile(const FwCommand& c)
{
    return {c.features, low(c.blockCount), high(c.blockCount), low(c.offset), high(c.offset),
            kAtaDevice, kDownloadMicrocode, 0};
}

SatCdb FwSatCdb(const FwCommand& c)
{
    const uint8_t protocol = c.kind == FwCommandKind::Piece ? kSatUdmaOut : kSatPioOut;
    return {kSatOpcode12, protocol,        kSatToDevice, c.features,         low(c.blockCount), high(c.blockCount),
            low(c.offset), high(c.offset), kSatDevice,   kDownloadMicrocode, 0,                 0};
}

int DownloadFwAta(bool bigChunks, int diskNum, const std::string& imagePath, FwTransfer* transfer,
                  const DeviceIdentity* device, const FwProgress& progress)
{
    const std::string path = physicalDrivePath(diskNum);
    return download(imagePath, bigChunks ? kFwBigBlock : kFwSmallBlock, transfer, progress,
                    [&](const FwCommand& command, uint8_t* data) {
                        CommandFailure failure = CommandFailure::None;
                        AtaPassThroughOut(path, FwAtaTaskFile(command).data(), data, command.blockCount, device,
                                          &failure);
                        return failure;
                    });
}

int DownloadFwUsb(int diskNum, const std::string& imagePath, FwTransfer* transfer, const DeviceIdentity* device,
                  const FwProgress& progress)
{
    const std::string path = physicalDrivePath(diskNum);
    return download(imagePath, kFwSmallBlock, transfer, progress, [&](const FwCommand& command, uint8_t* data) {
        CommandFailure failure = CommandFailure::None;
        ScsiPassThroughOut(path, FwSatCdb(command).data(), data, command.blockCount, device, &failure);
        return failure;
    });
}
