#pragma once
// Builds disk records with chosen SMART slots for the tests.

#include <cstdint>
#include <cstring>
#include <string>

#include "disk/PhyDiskInfo.h"
#include "smart/core/SmartSector.h"

namespace smart {
namespace testing {

// Six raw bytes holding `value` little-endian from byte `firstByte` on.
inline RawBytes RawAt(uint64_t value, int firstByte = 0) {
    RawBytes raw{};
    for (int k = firstByte; k < kSmartRawLength; ++k, value >>= 8) raw[k] = value & 0xFF;
    return raw;
}

class SmartDiskBuilder {
public:
    SmartDiskBuilder(const std::string& model, bool isMakerDisk) {
        std::memset(&disk_, 0, sizeof disk_);
        std::strncpy(disk_.model, model.c_str(), sizeof disk_.model - 1);
        disk_.isMakerDisk = isMakerDisk ? 1 : 0;
    }

    // Attribute entry of `slot`: ID, flags, value, worst, raw bytes.
    SmartDiskBuilder& Attribute(int slot, uint8_t id, const RawBytes& raw, uint8_t value = 100,
                                uint8_t worst = 100) {
        uint8_t* entry = disk_.smartData + 2 + 12 * slot;
        entry[0] = id;
        entry[1] = 0x32;  // flags, ignored
        entry[3] = value;
        entry[4] = worst;
        std::memcpy(entry + 5, raw.data(), raw.size());
        return *this;
    }

    // Threshold entry of `slot`; its ID byte stays 0, as it is never compared.
    SmartDiskBuilder& Threshold(int slot, uint8_t threshold, const RawBytes& limitBytes = {}) {
        uint8_t* entry = disk_.smartThreshold + 2 + 12 * slot;
        entry[1] = threshold;
        std::memcpy(entry + 2, limitBytes.data(), limitBytes.size());
        return *this;
    }

    const PhyDiskInfo& Disk() const { return disk_; }

private:
    PhyDiskInfo disk_;
};

}  // namespace testing
}  // namespace smart
