#include "disk/AtaSense.h"

#include <algorithm>

namespace {

constexpr uint8_t kAtaInformationAvailable = 0x1D;  // ASCQ with ASC 00h
constexpr uint8_t kAtaStatusDescriptor = 0x09;
constexpr size_t kAtaStatusDescriptorLength = 14;

// The ATA Status Return descriptor at `d`: error, then the low bytes of
// count and LBA (each after its high byte), device and status.
AtaTaskFile descriptorRegisters(const uint8_t* d)
{
    return {d[3], d[5], d[7], d[9], d[11], d[12], d[13], 0};
}

}  // namespace

std::optional<SenseFacts> decodeSense(const uint8_t* sense, size_t length)
{
    if (length < 1 || sense[0] == 0)
        return std::nullopt;
    SenseFacts facts;
    facts.responseCode = sense[0] & 0x7F;
    if (facts.responseCode == 0x72 || facts.responseCode == 0x73) {
        if (length < 4)
            return facts;
        facts.senseKey = sense[1] & 0x0F;
        facts.asc = sense[2];
        facts.ascq = sense[3];
        // Descriptors follow the 8-byte header, whose last byte gives their length.
        if (length < 8)
            return facts;
        const size_t end = std::min(length, static_cast<size_t>(8 + sense[7]));
        for (size_t at = 8; at + 1 < end; at += 2 + sense[at + 1]) {
            if (sense[at] == kAtaStatusDescriptor && at + kAtaStatusDescriptorLength <= end) {
                facts.ataRegisters = descriptorRegisters(sense + at);
                facts.ataError = sense[at + 3];
                facts.ataStatus = sense[at + 13];
            }
        }
    } else if (facts.responseCode == 0x70 || facts.responseCode == 0x71) {
        if (length < 14)
            return facts;
        facts.senseKey = sense[2] & 0x0F;
        facts.asc = sense[12];
        facts.ascq = sense[13];
        // With the valid bit, the information field holds error, status,
        // device and count, the command-specific field the LBA; older
        // kernels place error and status in the command-specific bytes.
        if (sense[0] & 0x80) {
            facts.ataError = sense[3];
            facts.ataStatus = sense[4];
            facts.ataRegisters = AtaTaskFile{sense[3], sense[6], sense[9], sense[10], sense[11], sense[5], sense[4], 0};
        } else {
            facts.ataError = sense[8];
            facts.ataStatus = sense[9];
        }
    }
    return facts;
}

bool registersOnly(const SenseFacts& sense)
{
    return sense.senseKey == kSenseKeyRecoveredError && sense.asc == 0 && sense.ascq == kAtaInformationAvailable;
}

uint8_t ataStatusFromSense(const SenseFacts& sense)
{
    if (registersOnly(sense) && sense.ataStatus)
        return *sense.ataStatus;
    return static_cast<uint8_t>((sense.ataStatus ? *sense.ataStatus : 0x51) | 0x01);
}
