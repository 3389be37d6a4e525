#include "disk/simulated/SimulatedDrive.h"

#include "disk/NvmeCommands.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr uint8_t kIdentifyDevice = 0xEC;
constexpr uint8_t kSmart = 0xB0;
constexpr uint8_t kSmartReadData = 0xD0;
constexpr uint8_t kSmartReadThresholds = 0xD1;
constexpr uint8_t kDownloadMicrocode = 0x92;
constexpr uint8_t kDownloadSegmented = 0x03;
constexpr uint8_t kDownloadWhole = 0x07;
constexpr uint8_t kCheckPowerMode = 0xE5;
// CHECK POWER MODE's answers in the Sector Count register.
constexpr uint8_t kPowerStandby = 0x00, kPowerActiveOrIdle = 0xFF;
constexpr uint8_t kSatOpcode12 = 0xA1;

// SAT protocols by the direction they move data.
enum SatProtocol : uint8_t { NonData = 3, PioIn = 4, PioOut = 5, Dma = 6, UdmaIn = 10, UdmaOut = 11 };

// A drive spinning up or behind a slow bridge: the caller waits.
void waitAsTheDriveDoes(const DriveBehaviour& behaviour)
{
    if (behaviour.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(behaviour.delayMs));
}

}  // namespace

AtaRegisters ataRegisters(const AtaTaskFile& t)
{
    return {t[0], t[1], t[2], t[3], t[4], t[5], t[6]};
}

std::optional<AtaRegisters> satRegisters(const SatCdb& cdb, DataDirection direction, uint32_t length)
{
    if (cdb[0] != kSatOpcode12)
        return std::nullopt;
    const uint8_t protocol = (cdb[1] >> 1) & 0x0F;
    const bool fromDevice = (cdb[2] & 0x08) != 0;
    bool fits;
    if (length == 0)
        fits = protocol == NonData;
    else if (direction == DataDirection::In)
        fits = (protocol == PioIn || protocol == Dma || protocol == UdmaIn) && fromDevice;
    else
        fits = (protocol == PioOut || protocol == Dma || protocol == UdmaOut) && !fromDevice;
    if (!fits)
        return std::nullopt;
    return AtaRegisters{cdb[3], cdb[4], cdb[5], cdb[6], cdb[7], cdb[8], cdb[9]};
}

bool SimulatedDrive::answer(const Sector& sector, uint8_t* buffer, uint32_t length, DataDirection direction) const
{
    if (direction != DataDirection::In || length < sector.size())
        return false;
    std::memcpy(buffer, sector.data(), sector.size());
    return true;
}

bool SimulatedDrive::download(const AtaRegisters& r, const uint8_t* buffer, uint32_t length, DataDirection direction)
{
    if (direction != DataDirection::Out || (r.features != kDownloadSegmented && r.features != kDownloadWhole))
        return false;
    DownloadSegment segment;
    segment.features = r.features;
    segment.blockCount = static_cast<uint16_t>(r.count | (r.lbaLow << 8));
    segment.offset = static_cast<uint16_t>(r.lbaMid | (r.lbaHigh << 8));
    segment.length = length;
    segment.sha256 = Sha256(buffer, length);
    downloads_.push_back(segment);

    downloadedBytes_ += length;
    downloadedStream_.add(buffer, length);
    const size_t sampled = std::min<size_t>(length, kDownloadSampleBytes - downloadedSample_.size());
    downloadedSample_.insert(downloadedSample_.end(), buffer, buffer + sampled);
    return true;
}

bool SimulatedDrive::execute(const DriveBehaviour& behaviour, const AtaRegisters& r, uint8_t* buffer,
                             uint32_t length, DataDirection direction, uint8_t& count)
{
    ++commandsReceived_;
    count = r.count;
    waitAsTheDriveDoes(behaviour);
    if (behaviour.failingCommand == commandsReceived_)
        return false;
    if (r.command == kCheckPowerMode) {
        if (length != 0)
            return false;
        count = inStandby(behaviour) ? kPowerStandby : kPowerActiveOrIdle;
        return true;
    }
    // Every other command spins the drive up, whether it completes or not.
    woken_ = true;
    switch (r.command) {
    case kIdentifyDevice:
        return behaviour.identify && answer(*behaviour.identify, buffer, length, direction);
    case kSmart:
        if (behaviour.smartUnsupported || r.lbaMid != 0x4F || r.lbaHigh != 0xC2)
            return false;
        if (r.features == kSmartReadData)
            return answer(behaviour.smartData, buffer, length, direction);
        if (r.features == kSmartReadThresholds)
            return answer(behaviour.smartThresholds, buffer, length, direction);
        return false;
    case kDownloadMicrocode:
        return download(r, buffer, length, direction);
    default:
        return false;
    }
}

uint16_t SimulatedDrive::executeNvme(const DriveBehaviour& behaviour, const NvmeAdminCommand& command,
                                     uint8_t* buffer, uint32_t length)
{
    ++commandsReceived_;
    waitAsTheDriveDoes(behaviour);
    if (behaviour.failingCommand == commandsReceived_)
        return kNvmeStatusInternalError;
    switch (command.opcode) {
    case kNvmeOpcodeIdentify:
        // Only the controller's data structure; the whole of it.
        if (!behaviour.nvmeIdentify || command.cdw[0] != kNvmeIdentifyCnsController ||
            length != behaviour.nvmeIdentify->size())
            return kNvmeStatusInvalidField;
        std::memcpy(buffer, behaviour.nvmeIdentify->data(), length);
        return kNvmeStatusSuccess;
    case kNvmeOpcodeGetLogPage:
        // The health log from its start, as many bytes as the command counts.
        if (behaviour.smartUnsupported || (command.cdw[0] & 0xFF) != kNvmeLogHealth || command.cdw[2] != 0 ||
            command.cdw[3] != 0 || NvmeLogPageLength(command) != length || length > behaviour.healthLog.size())
            return kNvmeStatusInvalidField;
        std::memcpy(buffer, behaviour.healthLog.data(), length);
        return kNvmeStatusSuccess;
    default:
        return kNvmeStatusInvalidOpcode;
    }
}
