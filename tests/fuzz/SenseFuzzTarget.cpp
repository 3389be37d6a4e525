// Arbitrary task files packed into ATA PASS-THROUGH (16), and arbitrary sense
// data decoded, as the Linux backend does around each SG_IO request. The
// input: the 8-byte task file, a direction byte (bit 0: data out), the data
// length (4 bytes, least significant first), then the sense data. The sense
// data is read in place, so AddressSanitizer sees any read past its end.

#include "disk/linux/LinuxSgIo.h"
#include "tests/fuzz/FuzzRule.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr size_t kHeaderLength = 13;

void CheckPacking(const AtaTaskFile& t, DataDirection direction, uint32_t length)
{
    const Cdb16 cdb = packAtaPassThrough16(t, direction, length);
    Require(cdb[0] == 0x85, "ATA PASS-THROUGH (16) operation code");
    const size_t places[] = {4, 6, 8, 10, 12, 13, 14};
    for (size_t i = 0; i < 7; ++i)
        Require(cdb[places[i]] == t[i], "task file bytes in their fields as they stand");
    const int protocol = (cdb[1] >> 1) & 0x0F;
    Require(protocol == (length == 0 ? 3 : direction == DataDirection::In ? 4 : 5), "protocol follows the data");
    Require(((cdb[2] & 0x08) != 0) == (length != 0 && direction == DataDirection::In), "T_DIR for data in");
    Require(((cdb[2] & 0x20) != 0) == (length == 0), "CK_COND only without data");
}

void CheckSense(const uint8_t* sense, size_t length)
{
    const auto facts = decodeSense(sense, length);
    Require(facts.has_value() == (length > 0 && sense[0] != 0), "sense data present when its first byte is set");
    if (!facts)
        return;
    Require(facts->responseCode == (sense[0] & 0x7F), "response code");
    Require(facts->senseKey <= 0x0F, "sense key of four bits");
    if (facts->ataRegisters) {
        Require(facts->ataStatus && (*facts->ataRegisters)[kReturnedStatus] == *facts->ataStatus,
                "the whole task file agrees with the status");
        Require(facts->ataError && (*facts->ataRegisters)[kReturnedError] == *facts->ataError,
                "the whole task file agrees with the error");
    }
    const uint8_t status = ataStatusFromSense(*facts);
    const bool registersOnly = facts->senseKey == 0x01 && facts->asc == 0 && facts->ascq == 0x1D && facts->ataStatus;
    if (registersOnly)
        Require(status == *facts->ataStatus, "the drive's own status when the command only returned registers");
    else
        Require((status & 0x01) != 0, "ERR set for every other check condition");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t length)
{
    if (length < kHeaderLength)
        return 0;
    AtaTaskFile taskFile;
    for (size_t i = 0; i < taskFile.size(); ++i)
        taskFile[i] = input[i];
    const DataDirection direction = (input[8] & 1) ? DataDirection::Out : DataDirection::In;
    const uint32_t dataLength = uint32_t(input[9]) | uint32_t(input[10]) << 8 | uint32_t(input[11]) << 16 |
                                uint32_t(input[12]) << 24;
    CheckPacking(taskFile, direction, dataLength);
    CheckSense(input + kHeaderLength, length - kHeaderLength);
    return 0;
}
