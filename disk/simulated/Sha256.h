#pragma once
// SHA-256 (FIPS 180-4) of a byte run, for the simulated drives' command log
// and what they receive.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using Sha256Digest = std::array<uint8_t, 32>;

// The digest of bytes that arrive piece by piece.
class Sha256Stream {
public:
    void add(const uint8_t* data, size_t length);
    // Of everything added so far; more may be added afterwards.
    Sha256Digest digest() const;

private:
    static constexpr size_t kBlockSize = 64;
    std::array<uint32_t, 8> hash_ = {
        0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
    };
    std::array<uint8_t, kBlockSize> pending_{};  // the start of a block not yet full
    size_t pendingLength_ = 0;
    uint64_t total_ = 0;
};

Sha256Digest Sha256(const uint8_t* data, size_t length);
// The digest as 64 lower-case hexadecimal digits, as sha256sum prints it.
std::string Sha256Hex(const Sha256Digest& digest);
std::string Sha256Hex(const uint8_t* data, size_t length);
