#pragma once
// A firmware image read into memory and patched for sending: zero-padded to
// whole sectors, the tag "1H0702c8" at byte 142 and the checksum in the file's
// last byte. The file itself is only read.

#include <cstdint>
#include <string>
#include <vector>

constexpr int kFwSectorSize = 512;
// Offsets go to the drive in a 16-bit field: sectors 0 … 65535.
constexpr uint32_t kFwMaxSectors = 65536;

struct FwImage {
    std::vector<uint8_t> buffer;  // n × 512 bytes, n = ⌈size ÷ 512⌉
    uint64_t size = 0;            // the file's own length
    uint32_t sectors() const { return static_cast<uint32_t>(buffer.size() / kFwSectorSize); }
};

// Reads and patches the image at `imagePath` (UTF-8). kFwOk, or kFwPathEmpty,
// kFwSizeZero, kFwTooLarge, kFwOpenFailed, kFwNoMemory, kFwReadFailed.
int PrepareFwImage(const std::string& imagePath, FwImage& image);

// The 8-bit sum of bytes 0 … length − 3 (none when length < 3).
uint8_t CalcCheckSum(const uint8_t* bytes, uint64_t length);
