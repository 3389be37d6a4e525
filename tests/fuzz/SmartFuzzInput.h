#pragma once
// How a fuzzing input maps onto a disk record: one flag byte (bit 0: the
// maker's drive; bit 1: an NVMe drive, bit 2: its health log was read), then
// the raw model field, the data sector and the threshold sector; an NVMe
// drive's health log is the first 512 of the bytes after the model, and its
// SMART sectors stay zero. A short input leaves the rest zero; the model
// field may lack its NUL.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "disk/PhyDiskInfo.h"

namespace smart {

constexpr size_t kFuzzFlagsLength = 1;
constexpr size_t kFuzzInputLength =
    kFuzzFlagsLength + kTextLength + kSmartDataLength + kSectorSize;

inline PhyDiskInfo DecodeFuzzInput(const uint8_t* input, size_t length) {
    uint8_t bytes[kFuzzInputLength] = {};
    std::memcpy(bytes, input, std::min(length, kFuzzInputLength));

    PhyDiskInfo record;
    std::memset(&record, 0, sizeof record);
    const uint8_t* at = bytes;
    record.isMakerDisk = at[0] & 1;
    at += kFuzzFlagsLength;
    std::memcpy(record.model, at, kTextLength);
    at += kTextLength;
    std::memcpy(record.smartData, at, kSmartDataLength);
    at += kSmartDataLength;
    std::memcpy(record.smartThreshold, at, kSectorSize);
    if (bytes[0] & 2) {
        record.isNvme = 1;
        record.nvmeHealthRead = (bytes[0] >> 2) & 1;
        std::memcpy(record.nvmeHealth, bytes + kFuzzFlagsLength + kTextLength, kNvmeHealthLength);
        std::memset(record.smartData, 0, sizeof record.smartData);
        std::memset(record.smartThreshold, 0, sizeof record.smartThreshold);
    }
    return record;
}

inline std::string EncodeFuzzInput(const PhyDiskInfo& record) {
    std::string bytes(1, static_cast<char>(record.isMakerDisk & 1));
    bytes.append(record.model, kTextLength);
    bytes.append(reinterpret_cast<const char*>(record.smartData), kSmartDataLength);
    bytes.append(reinterpret_cast<const char*>(record.smartThreshold), kSectorSize);
    return bytes;
}

}  // namespace smart
