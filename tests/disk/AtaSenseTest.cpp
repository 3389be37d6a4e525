// Sense data answering ATA commands, as SG_IO and USB bridges return it.

#include "disk/AtaSense.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

TEST(AtaSense, SenseDataIsDecodedInBothFormatsAndKernelLayouts)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> sense;
        uint8_t key, asc, ascq;
        int status;  // -1: not carried
        uint8_t reported;
    };
    const Case cases[] = {
        {"fixed, registers in the command-specific bytes",
         {0x70, 0, 0x0B, 0, 0, 0, 0, 0x0A, 0x04, 0x51, 0, 0, 0x00, 0x00, 0, 0, 0, 0}, 0x0B, 0x00, 0x00, 0x51, 0x51},
        {"fixed, registers in the information field",
         {0xF0, 0, 0x0B, 0x04, 0x51, 0xE0, 0x01, 0x0A, 0, 0, 0, 0, 0x00, 0x00, 0, 0, 0, 0}, 0x0B, 0x00, 0x00, 0x51, 0x51},
        {"illegal request from a USB bridge",
         {0x70, 0, 0x05, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0x20, 0x00, 0, 0, 0, 0}, 0x05, 0x20, 0x00, 0x00, 0x01},
        {"descriptor with ATA status return, registers only",
         {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 0x0E, 0x09, 0x0C, 0x00, 0x00, 0, 0x01, 0, 0x00, 0, 0x4F, 0, 0xC2, 0xE0, 0x50},
         0x01, 0x00, 0x1D, 0x50, 0x50},
        {"descriptor, aborted",
         {0x72, 0x0B, 0x00, 0x00, 0, 0, 0, 0x0E, 0x09, 0x0C, 0x00, 0x04, 0, 0x00, 0, 0x00, 0, 0x00, 0, 0x00, 0x00, 0x51},
         0x0B, 0x00, 0x00, 0x51, 0x51},
        {"descriptor without ATA registers", {0x72, 0x0B, 0x00, 0x00, 0, 0, 0, 0}, 0x0B, 0x00, 0x00, -1, 0x51},
        // Cut short inside the 8-byte header: nothing past its end is read.
        {"descriptor header cut short", {0x72, 0x0B, 0x47, 0x03, 0x00}, 0x0B, 0x47, 0x03, -1, 0x51},
    };
    for (const auto& c : cases) {
        const auto facts = decodeSense(c.sense.data(), c.sense.size());
        ASSERT_TRUE(facts) << c.what;
        EXPECT_EQ(facts->senseKey, c.key) << c.what;
        EXPECT_EQ(facts->asc, c.asc) << c.what;
        EXPECT_EQ(facts->ascq, c.ascq) << c.what;
        if (c.status < 0)
            EXPECT_FALSE(facts->ataStatus) << c.what;
        else
            EXPECT_EQ(facts->ataStatus.value_or(0xFF), c.status) << c.what;
        EXPECT_EQ(ataStatusFromSense(*facts), c.reported) << c.what;
        EXPECT_EQ(ataStatusFromSense(*facts) & 1, c.key == kSenseKeyRecoveredError ? 0 : 1) << c.what;
    }
    const uint8_t none[18] = {};
    EXPECT_FALSE(decodeSense(none, sizeof none));
    EXPECT_FALSE(decodeSense(none, 0));
}

// Where the sense carries every register, they come back in task-file order:
// CHECK POWER MODE's answer is in the count.
TEST(AtaSense, TheWholeReturnedTaskFileWhereTheLayoutCarriesIt)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> sense;
        std::optional<AtaTaskFile> registers;  // error, count, LBA low, mid, high, device, status
    };
    const Case cases[] = {
        {"descriptor, CHECK POWER MODE of a drive in standby",
         {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 14, 0x09, 12, 0, 0x00, 0x12, 0x00, 0x34, 0x01, 0, 0x02, 0, 0x03, 0xA0, 0x50},
         AtaTaskFile{0x00, 0x00, 0x01, 0x02, 0x03, 0xA0, 0x50, 0}},
        {"descriptor, active drive",
         {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 14, 0x09, 12, 0, 0x00, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0x40, 0x50},
         AtaTaskFile{0x00, 0xFF, 0, 0, 0, 0x40, 0x50, 0}},
        {"fixed with the valid bit",
         {0xF0, 0, 0x01, 0x00, 0x50, 0xA0, 0xFF, 0x0A, 0x00, 0x11, 0x22, 0x33, 0x00, 0x1D, 0, 0, 0, 0},
         AtaTaskFile{0x00, 0xFF, 0x11, 0x22, 0x33, 0xA0, 0x50, 0}},
        {"fixed, registers in the command-specific bytes: status and error only",
         {0x70, 0, 0x0B, 0, 0, 0, 0, 0x0A, 0x04, 0x51, 0, 0, 0x00, 0x00, 0, 0, 0, 0}, std::nullopt},
        {"descriptor cut inside the ATA descriptor",
         {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 14, 0x09, 12, 0, 0x00, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0x40}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto facts = decodeSense(c.sense.data(), c.sense.size());
        ASSERT_TRUE(facts) << c.what;
        EXPECT_EQ(facts->ataRegisters, c.registers) << c.what;
    }
}

}  // namespace
