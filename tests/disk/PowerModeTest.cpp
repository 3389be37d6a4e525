// CHECK POWER MODE on simulated drives: asked over each bus's route, it
// leaves a drive in standby where it is; a read of the drive wakes it.

#include "FleetFixture.h"

#include "disk/DiskIdentity.h"
#include "disk/PowerMode.h"

#include <vector>

namespace {

constexpr unsigned long long kGiB = 1ull << 30;

class PowerModeTest : public FleetTest {
protected:
    void SetUp() override
    {
        install("{\"drives\": [" + driveJson(0, kGiB, volumeJson('C', kGiB, 0)) + ", " +
                driveJson(1, kGiB, "", ", \"power\": \"standby\"") + ", " +
                driveJson(2, kGiB, "", ", \"bus\": \"usb\", \"power\": \"standby\"") + ", " +
                driveJson(3, kGiB, "", ", \"bus\": \"usb\"") + ", " +
                driveJson(4, kGiB, "", ", \"power\": \"active\"") + ", " +
                driveJson(5, kGiB, "", ", \"bus\": \"usb\", \"faults\": [\"senseOnSuccess\"]") + ", " +
                driveJson(6, kGiB, "", ", \"failCommand\": 1") + "]}");
    }
};

TEST_F(PowerModeTest, EachRouteAsksWithoutWakingTheDrive)
{
    struct Case {
        int drive;
        std::optional<PowerMode> mode, askedAgain;
    };
    const Case cases[] = {
        {1, PowerMode::Standby, PowerMode::Standby},
        {2, PowerMode::Standby, PowerMode::Standby},
        {3, PowerMode::ActiveOrIdle, PowerMode::ActiveOrIdle},
        {4, PowerMode::ActiveOrIdle, PowerMode::ActiveOrIdle},
        // A bridge that adds sense data still returns the registers asked for.
        {5, PowerMode::ActiveOrIdle, PowerMode::ActiveOrIdle},
        // The drive aborts its first command.
        {6, std::nullopt, PowerMode::ActiveOrIdle},
        {9, std::nullopt, std::nullopt},  // no such drive
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckPowerMode(c.drive), c.mode) << c.drive;
        EXPECT_EQ(CheckPowerMode(c.drive), c.askedAgain) << c.drive << " asked again";
    }
    for (const auto& command : sim().received()) {
        const uint8_t code = command.route == CommandRoute::Ata ? command.block[6] : command.block[9];
        EXPECT_EQ(code, 0xE5) << "nothing but CHECK POWER MODE was sent";
        EXPECT_EQ(command.length, 0u);
    }
}

TEST_F(PowerModeTest, AReadWakesTheDrive)
{
    for (int drive : {1, 2}) {
        PhyDiskInfo disk{};
        disk.diskNum = drive;
        ReadDiskIdentity(disk);
        EXPECT_EQ(CheckPowerMode(drive), PowerMode::ActiveOrIdle) << drive;
    }
}

TEST(PowerModeAnswers, SectorCountValues)
{
    const std::vector<std::pair<uint8_t, PowerMode>> answers = {
        {0x00, PowerMode::Standby}, {0x01, PowerMode::Standby}, {0x40, PowerMode::Standby},
        {0x41, PowerMode::ActiveOrIdle}, {0x80, PowerMode::Idle}, {0x83, PowerMode::Idle},
        {0x84, PowerMode::ActiveOrIdle}, {0xFF, PowerMode::ActiveOrIdle}};
    for (const auto& [count, mode] : answers)
        EXPECT_EQ(PowerModeOf(count), mode) << int(count);
    EXPECT_STREQ(PowerModeName(PowerMode::Standby), "standby");
    EXPECT_STREQ(PowerModeName(PowerMode::Idle), "idle");
    EXPECT_STREQ(PowerModeName(PowerMode::ActiveOrIdle), "active_or_idle");
}

}  // namespace
