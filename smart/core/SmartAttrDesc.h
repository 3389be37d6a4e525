#pragma once
// One catalogue entry: a named value carved out of one SMART attribute.

#include <cstdint>
#include <string>

namespace smart {

struct SmartAttrDesc {
    uint8_t id = 0;            // attribute ID in which the value is found
    std::string name;          // the "Description" text
    int32_t firstByte = 0;     // first raw byte of the value, 0 ... 5
    int32_t lastByte = 0;      // last raw byte of the value, 0 ... 5
    std::string unit;          // written right after the number
    bool limitFromDrive = false;  // limit read from the threshold sector
    uint64_t limit = 0;        // catalogue limit when !limitFromDrive
    std::string code;          // "#1000" ... "#1004"; empty: never compared
};

}  // namespace smart
