#include "disk/simulated/AtaSectors.h"

#include <cstring>

namespace {

constexpr int kSlots = 30;
constexpr int kSlotSize = 12;
constexpr uint16_t kSmartRevision = 0x0010;

void putWord(Sector& sector, int word, uint16_t value)
{
    sector[2 * word] = static_cast<uint8_t>(value & 0xFF);
    sector[2 * word + 1] = static_cast<uint8_t>(value >> 8);
}

// An ATA string over words firstWord … lastWord: high byte first, space padded.
void putText(Sector& sector, int firstWord, int lastWord, const std::string& text)
{
    const size_t length = static_cast<size_t>(lastWord - firstWord + 1) * 2;
    std::string padded = text.substr(0, length);
    padded.resize(length, ' ');
    for (size_t i = 0; i < length; i += 2) {
        const size_t at = 2 * firstWord + i;
        sector[at + 1] = static_cast<uint8_t>(padded[i]);
        sector[at] = static_cast<uint8_t>(padded[i + 1]);
    }
}

// Makes the bytes of the sector sum to 0 modulo 256 through its last byte.
void putChecksum(Sector& sector)
{
    uint8_t sum = 0;
    for (size_t i = 0; i + 1 < sector.size(); ++i)
        sum = static_cast<uint8_t>(sum + sector[i]);
    sector[511] = static_cast<uint8_t>(0x100 - sum);
}

}  // namespace

Sector buildIdentifySector(const std::string& serial, const std::string& model, const std::string& firmware,
                           uint64_t wwn)
{
    Sector sector{};
    putWord(sector, 0, 0x0040);  // fixed device
    putText(sector, 10, 19, serial);
    putText(sector, 23, 26, firmware);
    putText(sector, 27, 46, model);
    putWord(sector, 82, 0x0001);  // SMART supported
    putWord(sector, 85, 0x0001);  // SMART enabled
    if (wwn) {
        putWord(sector, 87, 0x4100);  // valid word; world wide name supported
        for (int i = 0; i < 4; ++i)
            putWord(sector, 108 + i, static_cast<uint16_t>(wwn >> (48 - 16 * i)));
    }
    sector[510] = 0xA5;           // checksum signature
    putChecksum(sector);
    return sector;
}

Sector buildSmartDataSector(const std::vector<SmartAttribute>& attributes, bool marker)
{
    Sector sector{};
    putWord(sector, 0, kSmartRevision);
    for (size_t i = 0; i < attributes.size() && i < kSlots; ++i) {
        const SmartAttribute& a = attributes[i];
        uint8_t* slot = &sector[2 + kSlotSize * i];
        slot[0] = a.id;
        slot[1] = static_cast<uint8_t>(a.flags & 0xFF);
        slot[2] = static_cast<uint8_t>(a.flags >> 8);
        slot[3] = a.value;
        slot[4] = a.worst;
        std::memcpy(slot + 5, a.raw.data(), a.raw.size());
        slot[11] = a.reserved;
    }
    if (marker)
        std::memcpy(&sector[400], "QUORVENTA", 9);
    putChecksum(sector);
    return sector;
}

Sector buildSmartThresholdSector(const std::vector<SmartAttribute>& attributes)
{
    Sector sector{};
    putWord(sector, 0, kSmartRevision);
    for (size_t i = 0; i < attributes.size() && i < kSlots; ++i) {
        uint8_t* slot = &sector[2 + kSlotSize * i];
        slot[0] = attributes[i].id;
        slot[1] = attributes[i].threshold;
        std::memcpy(slot + 2, attributes[i].driveLimit.data(), attributes[i].driveLimit.size());
    }
    putChecksum(sector);
    return sector;
}
