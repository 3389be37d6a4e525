#pragma once
// One evaluated row of the SMART table. Its texts are Chinese, the source
// language: SmartRowCells() writes them in the language shown.

#include <array>
#include <cstdint>
#include <string>

#include "smart/core/SmartStatus.h"

namespace smart {

constexpr int kSmartSlotCount = 30;  // attribute entries in a SMART sector
constexpr int kSmartRawLength = 6;   // raw value bytes of one attribute

struct SmartRow {
    uint8_t id = 0;
    uint8_t value = 0;      // current normalized value
    uint8_t worst = 0;
    uint8_t threshold = 0;  // byte 1 of the threshold entry in the same slot
    std::array<uint8_t, kSmartRawLength> raw{};  // most significant byte first
    std::string description;
    std::string currentValue;
    std::string status;

    // What the texts show, as values for scripts.
    uint64_t number = 0;  // CurrentValue's number
    std::string unit;     // CurrentValue's unit; empty for other makers' drives
    Status judged;        // Status's kind and limit
    std::string code;     // the catalogue entry's code; empty when never compared
};

// An evaluation fills at most one row per slot.
using SmartRows = std::array<SmartRow, kSmartSlotCount>;

}  // namespace smart
