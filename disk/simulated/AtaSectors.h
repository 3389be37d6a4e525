#pragma once
// Builds the 512-byte sectors a drive answers to IDENTIFY DEVICE, SMART READ
// DATA and SMART READ THRESHOLDS, in the drive's own byte order.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using Sector = std::array<uint8_t, 512>;

struct SmartAttribute {
    uint8_t id = 0;
    uint16_t flags = 0;
    uint8_t value = 0;
    uint8_t worst = 0;
    std::array<uint8_t, 6> raw{};        // least significant first
    uint8_t reserved = 0;
    uint8_t threshold = 0;
    std::array<uint8_t, 6> driveLimit{};  // bytes 2 … 7 of the threshold entry
};

// IDENTIFY DEVICE: serial, firmware and model as ATA strings (each word high
// byte first, padded with spaces), SMART supported and enabled, checksum set;
// a world wide name in words 108 to 111 when `wwn` is not 0.
Sector buildIdentifySector(const std::string& serial, const std::string& model, const std::string& firmware,
                           uint64_t wwn = 0);
// SMART READ DATA with up to 30 attributes in slot order; with the maker's
// marker at byte 400 when `marker` is set.
Sector buildSmartDataSector(const std::vector<SmartAttribute>& attributes, bool marker);
Sector buildSmartThresholdSector(const std::vector<SmartAttribute>& attributes);
