#include "disk/DiskIdentity.h"

#include "disk/DevicePath.h"
#include "disk/DiskList.h"
#include "disk/IdentityCommands.h"
#include "disk/NvmeCommands.h"
#include "disk/PassThrough.h"
#include "disk/StorageControl.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char kMarker[] = "QUORVENTA";
constexpr int kMarkerOffset = 400;

constexpr int kSerialFirstWord = 10, kSerialLastWord = 19;
constexpr int kFirmwareFirstWord = 23, kFirmwareLastWord = 26;
constexpr int kModelFirstWord = 27, kModelLastWord = 46;
constexpr int kFeaturesWord = 87, kWwnFirstWord = 108;
// Word 87 is valid with bit 14 set and bit 15 clear; bit 8 says a world
// wide name is reported.
constexpr uint16_t kWordValidMask = 0xC000, kWordValid = 0x4000, kWwnSupported = 0x0100;

bool isAtaWhiteSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x85 || c == 0xA0;
}

// One sector in by the drive's route; `failure` says why it did not come.
bool readSector(uint32_t busType, const std::string& path, const IdentityCommand& command, uint8_t* sector,
                CommandFailure* failure = nullptr)
{
    if (busType == kBusTypeUsb)
        return ScsiPassThrough(path, command.cdb, sector, 1, true, nullptr, failure);
    return AtaPassThrough(path, command.taskFile, sector, 1, true, nullptr, failure);
}

void storeText(const std::string& text, char* field)
{
    std::memset(field, 0, kTextLength);
    std::memcpy(field, text.data(), std::min<size_t>(text.size(), kTextLength - 1));
}

uint16_t word(const uint8_t* sector, int index)
{
    return static_cast<uint16_t>(sector[2 * index] | sector[2 * index + 1] << 8);
}

// White space trimmed on both sides, then cut at the first NUL.
std::string trimmedText(std::string text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && isAtaWhiteSpace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && isAtaWhiteSpace(static_cast<unsigned char>(text[end - 1])))
        --end;
    text = text.substr(begin, end - begin);
    return text.substr(0, text.find('\0'));
}

// The identity texts, the maker's model rule on them, and the health log of
// an NVMe drive.
int readNvmeDrive(const std::string& path, char* identityBlock, uint8_t& isMakerDisk, NvmeHealthAnswer* nvmeHealth)
{
    std::vector<uint8_t> identify(kNvmeIdentifyLength);
    uint8_t health[kNvmeHealthLength] = {};
    CommandFailure failure = CommandFailure::None;
    const bool identified =
        NvmeAdminPassThrough(path, kNvmeIdentifyController, identify.data(), kNvmeIdentifyLength, &failure);
    if (failure == CommandFailure::Busy)
        return kIdentityBusy;
    // The health log is read whatever Identify answered; a failure leaves zeros.
    const bool healthRead = NvmeAdminPassThrough(path, kNvmeHealthLog, health, kNvmeHealthLength);
    if (!healthRead)
        std::memset(health, 0, sizeof health);
    if (identified) {
        const std::string model = NvmeText(identify.data(), kNvmeModelOffset, kNvmeModelLength);
        storeText(NvmeText(identify.data(), kNvmeSerialOffset, kNvmeSerialLength), identityBlock);
        storeText(model, identityBlock + kTextLength);
        storeText(NvmeText(identify.data(), kNvmeFirmwareOffset, kNvmeFirmwareLength),
                  identityBlock + 2 * kTextLength);
        if (IsMakerModel(model))
            isMakerDisk = 1;
    }
    if (nvmeHealth) {
        nvmeHealth->nvme = true;
        nvmeHealth->healthRead = healthRead;
        std::memcpy(nvmeHealth->log, health, sizeof health);
    }
    return identified ? kIdentityOk : kIdentityFailedOther;
}

}  // namespace

uint64_t WorldWideName(const uint8_t* identify)
{
    const uint16_t features = word(identify, kFeaturesWord);
    if ((features & kWordValidMask) != kWordValid || !(features & kWwnSupported))
        return 0;
    uint64_t name = 0;
    for (int i = 0; i < 4; ++i)
        name = name << 16 | word(identify, kWwnFirstWord + i);
    return name;
}

std::string AtaText(const uint8_t* identify, int firstWord, int lastWord)
{
    std::string text;
    for (int word = firstWord; word <= lastWord; ++word) {
        text += static_cast<char>(identify[2 * word + 1]);
        text += static_cast<char>(identify[2 * word]);
    }
    return trimmedText(text);
}

std::string NvmeText(const uint8_t* identify, int offset, int length)
{
    return trimmedText(std::string(reinterpret_cast<const char*>(identify) + offset, length));
}

bool IsMakerModel(const std::string& model)
{
    const bool family = model.find("QY") != std::string::npos || model.find("QX") != std::string::npos;
    return family && model.find("M7A0") != std::string::npos;
}

bool HasMakerMarker(const uint8_t* smartSector)
{
    return std::memcmp(smartSector + kMarkerOffset, kMarker, sizeof kMarker - 1) == 0;
}

namespace {

// GetPhyDiskInfo, giving back the world wide name as well when `wwn` is set.
int readIdentity(int diskNum, char* identityBlock, uint8_t& isMakerDisk, uint8_t* smartData, uint8_t* smartThreshold,
                 NvmeHealthAnswer* nvmeHealth, uint64_t* wwn)
{
    uint8_t identify[kSectorSize] = {};
    uint8_t data[kSectorSize] = {};
    uint8_t thresholds[kSectorSize] = {};
    const std::string path = physicalDrivePath(diskNum);

    uint32_t busType = 0;
    if (!GetBusType(diskNum, busType))
        return kIdentityNoBusType;

    std::memset(identityBlock, 0, kIdentityBlockLength);
    std::memset(smartData, 0, kSmartDataLength);
    std::memset(smartThreshold, 0, kSectorSize);
    if (busType == kBusTypeNvme)
        return readNvmeDrive(path, identityBlock, isMakerDisk, nvmeHealth);

    int result = kIdentityOk;
    CommandFailure failure = CommandFailure::None;
    if (!readSector(busType, path, kIdentifyDevice, identify, &failure) && failure == CommandFailure::Busy)
        return kIdentityBusy;  // a writer holds the drive: nothing more is sent to it
    if (failure != CommandFailure::None)
        result = busType == kBusTypeSata ? kIdentityFailedSata
               : busType == kBusTypeUsb  ? kIdentityFailedUsb
                                         : kIdentityFailedOther;
    // SMART is read whatever IDENTIFY answered; its own failures leave zeros.
    if (!readSector(busType, path, kSmartReadData, data))
        std::memset(data, 0, sizeof data);
    if (!readSector(busType, path, kSmartReadThresholds, thresholds))
        std::memset(thresholds, 0, sizeof thresholds);

    if (HasMakerMarker(data))
        isMakerDisk = 1;
    if (result == kIdentityOk) {
        const std::string model = AtaText(identify, kModelFirstWord, kModelLastWord);
        storeText(AtaText(identify, kSerialFirstWord, kSerialLastWord), identityBlock);
        storeText(model, identityBlock + kTextLength);
        if (IsMakerModel(model))
            isMakerDisk = 1;
        storeText(AtaText(identify, kFirmwareFirstWord, kFirmwareLastWord), identityBlock + 2 * kTextLength);
    }
    if (wwn)
        *wwn = result == kIdentityOk ? WorldWideName(identify) : 0;
    std::memcpy(smartData, data, kSmartDataLength);
    std::memcpy(smartThreshold, thresholds, kSectorSize);
    return result;
}

}  // namespace

int GetPhyDiskInfo(int diskNum, char* identityBlock, uint8_t& isMakerDisk, uint8_t* smartData, uint8_t* smartThreshold,
                   NvmeHealthAnswer* nvmeHealth)
{
    return readIdentity(diskNum, identityBlock, isMakerDisk, smartData, smartThreshold, nvmeHealth, nullptr);
}

int ReadDiskIdentity(PhyDiskInfo& disk)
{
    char identity[kIdentityBlockLength] = {};
    uint8_t isMakerDisk = 0;
    uint8_t smartData[kSmartDataLength] = {};
    uint8_t smartThreshold[kSectorSize] = {};
    uint64_t wwn = 0;
    NvmeHealthAnswer nvme;
    const int result = readIdentity(disk.diskNum, identity, isMakerDisk, smartData, smartThreshold, &nvme, &wwn);
    disk.valid = result == kIdentityOk ? 1 : 0;
    disk.busy = result == kIdentityBusy ? 1 : 0;
    std::memcpy(disk.serialNumber, identity, kTextLength);
    std::memcpy(disk.model, identity + kTextLength, kTextLength);
    std::memcpy(disk.firmware, identity + 2 * kTextLength, kTextLength);
    disk.isMakerDisk = isMakerDisk;
    disk.wwn = wwn;
    std::memcpy(disk.smartData, smartData, kSmartDataLength);
    std::memcpy(disk.smartThreshold, smartThreshold, kSectorSize);
    disk.isNvme = nvme.nvme ? 1 : 0;
    disk.nvmeHealthRead = nvme.healthRead ? 1 : 0;
    std::memcpy(disk.nvmeHealth, nvme.log, kNvmeHealthLength);
    return result;
}
