#include "smart/core/SmartSector.h"

#include <algorithm>
#include <iterator>

namespace smart {

namespace {

constexpr int kFirstEntryOffset = 2;  // after the revision word
constexpr int kEntryLength = 12;

// Attribute entry bytes.
constexpr int kIdByte = 0;
constexpr int kValueByte = 3;
constexpr int kWorstByte = 4;
constexpr int kRawByte = 5;
// Threshold entry bytes.
constexpr int kThresholdByte = 1;
constexpr int kLimitByte = 2;

static_assert(kFirstEntryOffset + kSmartSlotCount * kEntryLength <= kSmartDataLength,
              "every attribute entry lies inside the stored data sector");

int EntryOffset(int slot) { return kFirstEntryOffset + slot * kEntryLength; }

RawBytes SixBytesAt(const uint8_t* bytes) {
    RawBytes six{};
    for (int k = 0; k < kSmartRawLength; ++k) six[k] = bytes[k];
    return six;
}

}  // namespace

SmartSlot ReadSlot(const SmartDataSector& smartData,
                   const SmartThresholdSector& smartThreshold, int slot) {
    SmartSlot s;
    if (slot < 0 || slot >= kSmartSlotCount) return s;
    const uint8_t* entry = smartData + EntryOffset(slot);
    const uint8_t* limits = smartThreshold + EntryOffset(slot);
    s.id = entry[kIdByte];
    s.value = entry[kValueByte];
    s.worst = entry[kWorstByte];
    s.threshold = limits[kThresholdByte];
    s.raw = SixBytesAt(entry + kRawByte);
    s.limitBytes = SixBytesAt(limits + kLimitByte);
    return s;
}

bool SmartDataRead(const SmartDataSector& smartData) {
    return std::any_of(std::begin(smartData), std::end(smartData), [](uint8_t byte) { return byte != 0; });
}

int FindSlot(const SmartDataSector& smartData, uint8_t id) {
    if (id == 0) return -1;  // 0 marks empty slots, never an attribute
    for (int slot = 0; slot < kSmartSlotCount; ++slot) {
        if (smartData[EntryOffset(slot) + kIdByte] == id) return slot;
    }
    return -1;
}

uint64_t CarveValue(const RawBytes& bytes, int firstByte, int lastByte) {
    if (firstByte < 0 || lastByte >= kSmartRawLength || lastByte < firstByte) return 0;
    uint64_t value = 0;
    for (int k = lastByte; k >= firstByte; --k) value = (value << 8) | bytes[k];
    return value;
}

}  // namespace smart
