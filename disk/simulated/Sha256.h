#pragma once
// SHA-256 (FIPS 180-4) of a byte run, for the simulated drives' command log.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using Sha256Digest = std::array<uint8_t, 32>;

Sha256Digest Sha256(const uint8_t* data, size_t length);
// The digest as 64 lower-case hexadecimal digits, as sha256sum prints it.
std::string Sha256Hex(const uint8_t* data, size_t length);
