#pragma once
// Reading attribute and threshold entries out of the two SMART sectors.

#include <array>
#include <cstdint>

#include "disk/PhyDiskInfo.h"
#include "smart/core/SmartRow.h"

namespace smart {

using SmartDataSector = uint8_t[kSmartDataLength];
using SmartThresholdSector = uint8_t[kSectorSize];

// Six bytes, least significant first.
using RawBytes = std::array<uint8_t, kSmartRawLength>;

// What one slot holds across the data and the threshold sector.
struct SmartSlot {
    uint8_t id = 0;         // 0 marks an empty slot
    uint8_t value = 0;      // current normalized value
    uint8_t worst = 0;
    uint8_t threshold = 0;
    RawBytes raw{};         // attribute entry bytes 5 ... 10
    RawBytes limitBytes{};  // threshold entry bytes 2 ... 7, where drive limits sit
};

// Slot 0 ... kSmartSlotCount - 1; the threshold entry is taken by position.
SmartSlot ReadSlot(const SmartDataSector& smartData,
                   const SmartThresholdSector& smartThreshold, int slot);

// Whether the drive answered SMART READ DATA: a failed read leaves the
// sector all zero, while an answer carries at least its revision number.
bool SmartDataRead(const SmartDataSector& smartData);

// The first slot whose attribute ID is id, or -1 (always for ID 0).
int FindSlot(const SmartDataSector& smartData, uint8_t id);

// Little-endian unsigned value of bytes firstByte ... lastByte. A range that
// is reversed or reaches outside the six bytes gives 0.
uint64_t CarveValue(const RawBytes& bytes, int firstByte, int lastByte);

}  // namespace smart
