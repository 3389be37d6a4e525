#pragma once
// The status text of a row and the tone the table draws it in.

#include <cstdint>
#include <string>

#include "smart/core/SmartAttrDesc.h"

namespace smart {

// The status of an entry with carved value `value`; `driveLimit` is the limit
// carved from the threshold sector, used when the entry takes its limit from
// the drive. Empty for entries without a code, otherwise "OK", the code,
// "风险" or "异常" followed by the limit bracket.
std::string StatusText(const SmartAttrDesc& entry, uint64_t value, uint64_t driveLimit);

enum class StatusTone {
    Default,  // no status: the table's own text colour
    Ok,       // within the limit
    Alert,    // over the limit, at risk or abnormal
};

struct Rgb {
    uint8_t red, green, blue;
};

constexpr Rgb kStatusOkColour{0, 0, 255};
constexpr Rgb kStatusAlertColour{255, 0, 0};

// Ok for a status of two or more characters that begins with "OK", Alert for
// any other status of two or more characters, Default for the rest.
StatusTone StatusToneOf(const std::string& status);

}  // namespace smart
