#pragma once
// Example SMART sectors of a few drives, for demonstrations and fuzzing seeds.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "disk/PhyDiskInfo.h"

namespace smart {

struct SmartSample {
    std::string label;  // short file-name-safe name
    std::string model;
    bool isMakerDisk = false;
    std::array<uint8_t, kSectorSize> data{};       // the whole SMART READ DATA sector
    std::array<uint8_t, kSectorSize> threshold{};  // the whole SMART READ THRESHOLDS sector

    // Puts model, maker flag and both sectors into a record.
    void CopyInto(PhyDiskInfo& record) const;
};

// A healthy M7A0 drive, an M7B0 drive running hot, a worn M7A0 drive, a
// drive with its own limits and a weak capacitor, and another maker's drive.
const std::vector<SmartSample>& SmartSamples();

}  // namespace smart
