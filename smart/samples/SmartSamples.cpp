#include "smart/samples/SmartSamples.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace smart {

namespace {

// One attribute with its threshold entry.
struct SampleAttribute {
    uint8_t id;
    uint16_t flags;
    uint8_t value;  // current normalized value
    uint8_t worst;
    uint64_t raw;   // six bytes, little-endian
    uint8_t threshold;
    uint64_t driveLimit;  // threshold entry bytes 2 ... 7, little-endian
};

constexpr uint16_t kRevision = 0x0010;
constexpr int kFirstEntryOffset = 2;
constexpr int kEntryLength = 12;

// Temperatures of attribute 194 or 190: current, lowest, highest.
constexpr uint64_t Temperatures(uint64_t current, uint64_t lowest, uint64_t highest) {
    return current | lowest << 16 | highest << 32;
}

void PutLittleEndian(uint8_t* at, uint64_t value, int length) {
    for (int k = 0; k < length; ++k, value >>= 8) at[k] = value & 0xFF;
}

// The last byte makes the sector's bytes sum to 0 modulo 256.
void SealChecksum(std::array<uint8_t, kSectorSize>& sector) {
    uint8_t sum = 0;
    for (int k = 0; k < kSectorSize - 1; ++k) sum += sector[k];
    sector[kSectorSize - 1] = static_cast<uint8_t>(-sum);
}

SmartSample MakeSample(const char* label, const char* model, bool isMakerDisk,
                       std::initializer_list<SampleAttribute> attributes) {
    SmartSample sample;
    sample.label = label;
    sample.model = model;
    sample.isMakerDisk = isMakerDisk;
    PutLittleEndian(sample.data.data(), kRevision, 2);
    PutLittleEndian(sample.threshold.data(), kRevision, 2);
    int slot = 0;
    for (const SampleAttribute& a : attributes) {
        uint8_t* entry = sample.data.data() + kFirstEntryOffset + kEntryLength * slot;
        uint8_t* limits = sample.threshold.data() + kFirstEntryOffset + kEntryLength * slot;
        entry[0] = a.id;
        PutLittleEndian(entry + 1, a.flags, 2);
        entry[3] = a.value;
        entry[4] = a.worst;
        PutLittleEndian(entry + 5, a.raw, 6);
        limits[0] = a.id;
        limits[1] = a.threshold;
        PutLittleEndian(limits + 2, a.driveLimit, 6);
        ++slot;
    }
    SealChecksum(sample.data);
    SealChecksum(sample.threshold);
    return sample;
}

std::vector<SmartSample> BuildSamples() {
    return {
        MakeSample("m7a0-256g-healthy", "QF M7A0 256G", true,
                   {
                       {9, 0x0032, 100, 100, 4660, 0, 0},
                       {12, 0x0032, 100, 100, 1532, 0, 0},
                       {169, 0x0032, 100, 100, 3ULL << 32 | 35ULL << 16, 10, 0},
                       {208, 0x0032, 100, 100, 412, 0, 0},
                       {192, 0x0032, 100, 100, 87, 0, 0},
                       {194, 0x0022, 62, 37, Temperatures(38, 18, 63), 0, 0},
                       {231, 0x0033, 94, 94, 94, 10, 0},
                       {234, 0x0032, 100, 100, 0x2A3B4C5DULL, 0, 0},
                       {233, 0x0032, 100, 100, 0x3C4D5E6FULL, 0, 0},
                       {241, 0x0032, 100, 100, 0x1BF08EB00ULL, 0, 0},
                       {242, 0x0032, 100, 100, 0x12A05F200ULL, 0, 0},
                       {254, 0x0032, 100, 100, 85, 0, 0},
                   }),
        MakeSample("m7b0-480g-hot", "QF-PNDX480G-M7B0", true,
                   {
                       {9, 0x0032, 100, 100, 12034, 0, 0},
                       {12, 0x0032, 100, 100, 871, 0, 0},
                       {169, 0x0032, 100, 100, 1ULL << 32 | 118ULL << 16, 10, 0},
                       {173, 0x0032, 100, 100, 301ULL << 32 | 355ULL << 16 | 327, 0, 0},
                       {192, 0x0032, 100, 100, 12, 0, 0},
                       {190, 0x0022, 55, 26, Temperatures(45, 21, 74), 0, 0},
                       {233, 0x0033, 89, 89, 89, 5, 0},
                       {249, 0x0032, 100, 100, 0x9A7EC800ULL, 0, 0},
                       {250, 0x0032, 100, 100, 0x7D2B7500ULL, 0, 0},
                       {241, 0x0032, 100, 100, 0x8BB2C9700ULL, 0, 0},
                       {242, 0x0032, 100, 100, 0x6FC23AC00ULL, 0, 0},
                       {254, 0x0032, 100, 100, 88, 0, 0},
                   }),
        MakeSample("m7a0-120g-worn", "QF M7A0 120G", true,
                   {
                       {9, 0x0032, 100, 100, 31877, 0, 0},
                       {12, 0x0032, 100, 100, 4410, 0, 0},
                       {169, 0x0032, 100, 100, 41ULL << 32 | 1107ULL << 16, 10, 0},
                       {208, 0x0032, 100, 100, 1130, 0, 0},
                       {192, 0x0032, 100, 100, 5212, 0, 0},
                       {194, 0x0022, 60, 30, Temperatures(40, 15, 68), 0, 0},
                       {231, 0x0033, 8, 8, 8, 10, 0},
                       {234, 0x0032, 100, 100, 0x1F4A5C3B00ULL, 0, 0},
                       {233, 0x0032, 100, 100, 0x2E6B7D4C00ULL, 0, 0},
                       {241, 0x0032, 100, 100, 0x16000A000ULL, 0, 0},
                       {242, 0x0032, 100, 100, 0x15A3C2E00ULL, 0, 0},
                       {254, 0x0032, 100, 100, 82, 0, 0},
                   }),
        // Third part "M7D0" is none of the M7B0 family: limits come from the drive.
        MakeSample("drive-limits-weak-capacitor", "QF-PNDX240G-M7D0", true,
                   {
                       {9, 0x0032, 100, 100, 2210, 0, 0},
                       {12, 0x0032, 100, 100, 640, 0, 0},
                       {169, 0x0032, 100, 100, 12ULL << 16, 10, 2048ULL << 16},
                       {208, 0x0032, 100, 100, 96, 0, 3000},
                       {192, 0x0032, 100, 100, 9, 0, 5000},
                       {194, 0x0022, 64, 40, Temperatures(36, 20, 57), 0, 70ULL << 32},
                       {231, 0x0033, 98, 98, 98, 10, 0},
                       {233, 0x0032, 100, 100, 0x4D2C6E00ULL, 0, 0},
                       {234, 0x0032, 100, 100, 0x3B1A9C00ULL, 0, 0},
                       {241, 0x0032, 100, 100, 0x2540BE400ULL, 0, 0x9600000000ULL},
                       {242, 0x0032, 100, 100, 0x1DCD65000ULL, 0, 0},
                       {254, 0x0032, 100, 100, 62, 0, 100},
                   }),
        MakeSample("other-maker", "Generic SSD 512GB", false,
                   {
                       {1, 0x002F, 100, 100, 0, 50, 0},
                       {5, 0x0033, 100, 100, 0, 10, 0},
                       {9, 0x0032, 99, 99, 2873, 0, 0},
                       {12, 0x0032, 99, 99, 411, 0, 0},
                       {170, 0x0033, 100, 100, 0, 10, 0},
                       {171, 0x0032, 100, 100, 0, 0, 0},
                       {172, 0x0032, 100, 100, 0, 0, 0},
                       {173, 0x0032, 97, 97, 0x00050001002CULL, 0, 0},
                       {174, 0x0032, 100, 100, 23, 0, 0},
                       {183, 0x0032, 100, 100, 0, 0, 0},
                       {184, 0x0032, 100, 100, 0, 97, 0},
                       {187, 0x0032, 100, 100, 0, 0, 0},
                       {194, 0x0022, 65, 48, Temperatures(35, 17, 52), 0, 0},
                       {196, 0x0032, 100, 100, 0, 0, 0},
                       {199, 0x0032, 100, 100, 0, 0, 0},
                       {202, 0x0030, 97, 97, 3, 1, 0},
                       {241, 0x0030, 100, 100, 0x2B7A6F1C0ULL, 0, 0},
                       {242, 0x0030, 100, 100, 0x31F4A2B80ULL, 0, 0},
                   }),
    };
}

}  // namespace

void SmartSample::CopyInto(PhyDiskInfo& record) const {
    std::memset(record.model, 0, sizeof record.model);
    std::memcpy(record.model, model.data(), std::min(model.size(), sizeof record.model - 1));
    record.isMakerDisk = isMakerDisk ? 1 : 0;
    std::memcpy(record.smartData, data.data(), sizeof record.smartData);
    std::memcpy(record.smartThreshold, threshold.data(), sizeof record.smartThreshold);
}

const std::vector<SmartSample>& SmartSamples() {
    static const std::vector<SmartSample> samples = BuildSamples();
    return samples;
}

}  // namespace smart
