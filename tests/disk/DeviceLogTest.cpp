// The command log of the simulated drives: one line per command received.

#include "FleetFixture.h"

#include "disk/DevicePath.h"
#include "disk/NvmeCommands.h"
#include "disk/simulated/DeviceLog.h"
#include "disk/PassThrough.h"
#include "disk/PhyDiskInfo.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kIdentifyAta[8] = {0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00};
constexpr uint8_t kIdentifySat[12] = {0xA1, 0x08, 0x0E, 0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00, 0x00};
constexpr uint8_t kDownloadAta[8] = {0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x92, 0x00};
constexpr uint8_t kDownloadSat[12] = {0xA1, 0x0A, 0x03, 0x07, 0x01, 0x00, 0x00, 0x00, 0xE0, 0x92, 0x00, 0x00};
// SHA-256 of the 512 bytes 00h, 01h, ..., FFh, 00h, ..., FFh.
const std::string kCountingSha = "110009dcee21620b166f3abfecb5eff7a873be729d1c2d53822e7acc5f34eb9b";

class DeviceLogTest : public FleetTest {
protected:
    void SetUp() override
    {
        logPath_ = testing::TempDir() + "device-log-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
        std::remove(logPath_.c_str());
        for (int i = 0; i < kSectorSize; ++i)
            counting_[i] = static_cast<uint8_t>(i);
    }
    // A SATA drive 1, a USB drive 2 and an NVMe drive 3, the backend logging to `path`.
    void machine(const std::string& path)
    {
        install("{\"drives\": [" + driveJson(1, 1 << 30, "", ", \"identity\": {\"model\": \"M\"}") + ", " +
                driveJson(2, 1 << 30, "", ", \"bus\": \"usb\", \"identity\": {\"model\": \"U\"}") + ", " +
                driveJson(3, 1 << 30, "", ", \"bus\": \"nvme\", \"identity\": {\"model\": \"N\"}") + "]}")
            .logCommandsTo(path);
    }
    std::vector<std::string> logLines() const
    {
        std::ifstream file(logPath_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);)
            lines.push_back(line);
        return lines;
    }

    std::string logPath_;
    uint8_t counting_[kSectorSize];
    uint8_t sector_[kSectorSize] = {};
};

TEST_F(DeviceLogTest, OneLinePerCommandWithItsBytesDataAndOutcome)
{
    machine(logPath_);
    EXPECT_TRUE(AtaPassThrough(physicalDrivePath(1), kIdentifyAta, sector_, 1, true));
    EXPECT_TRUE(AtaPassThroughOut(physicalDrivePath(1), kDownloadAta, counting_, 1));
    EXPECT_FALSE(ScsiPassThrough(physicalDrivePath(1), kIdentifySat, sector_, 1, true));
    EXPECT_FALSE(AtaPassThrough(physicalDrivePath(2), kIdentifyAta, sector_, 1, true));
    EXPECT_TRUE(ScsiPassThroughOut(physicalDrivePath(2), kDownloadSat, counting_, 1));
    EXPECT_FALSE(AtaPassThrough(physicalDrivePath(7), kIdentifyAta, sector_, 1, true)) << "no such drive";

    const std::vector<std::string> expected = {
        "drive=1 route=ata command=0001000000E0EC00 direction=in length=512 sha256=- accepted=yes",
        "drive=1 route=ata command=0701000000009200 direction=out length=512 sha256=" + kCountingSha +
            " accepted=yes",
        "drive=1 route=sat command=A1080E0001000000E0EC0000 direction=in length=512 sha256=- accepted=no",
        "drive=2 route=ata command=0001000000E0EC00 direction=in length=512 sha256=- accepted=no",
        "drive=2 route=sat command=A10A030701000000E0920000 direction=out length=512 sha256=" + kCountingSha +
            " accepted=yes",
    };
    EXPECT_EQ(logLines(), expected);
    ASSERT_EQ(sim().received().size(), expected.size()) << "the same records in memory";
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(DeviceLogLine(sim().received()[i]), expected[i]);
}

TEST_F(DeviceLogTest, NvmeCommandsAreLoggedWithTheirNamespaceAndDwords)
{
    machine(logPath_);
    uint8_t data[4096];
    EXPECT_TRUE(NvmeAdminPassThrough(physicalDrivePath(3), kNvmeIdentifyController, data, sizeof data));
    EXPECT_TRUE(NvmeAdminPassThrough(physicalDrivePath(3), kNvmeHealthLog, data, 512));
    EXPECT_FALSE(NvmeAdminPassThrough(physicalDrivePath(1), kNvmeHealthLog, data, 512)) << "a SATA drive";
    EXPECT_FALSE(AtaPassThrough(physicalDrivePath(3), kIdentifyAta, sector_, 1, true)) << "no task files";
    const std::vector<std::string> expected = {
        "drive=3 route=nvme command=06" + std::string(8, '0') + "01" + std::string(46, '0') + " direction=in "
        "length=4096 sha256=- accepted=yes",
        "drive=3 route=nvme command=02FFFFFFFF02007F00" + std::string(40, '0') + " direction=in "
        "length=512 sha256=- accepted=yes",
        "drive=1 route=nvme command=02FFFFFFFF02007F00" + std::string(40, '0') + " direction=in "
        "length=512 sha256=- accepted=no",
        "drive=3 route=ata command=0001000000E0EC00 direction=in length=512 sha256=- accepted=no",
    };
    EXPECT_EQ(logLines(), expected);
}

TEST_F(DeviceLogTest, LinesAreAppendedToAnExistingLog)
{
    std::ofstream(logPath_) << "earlier run\n";
    machine(logPath_);
    AtaPassThrough(physicalDrivePath(1), kIdentifyAta, sector_, 1, true);
    const auto lines = logLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "earlier run");
}

// A log is a test aid: one that cannot be written must not let a run pass.
// The command is refused before the drive sees it, and so is every later one.
TEST_F(DeviceLogTest, AnUnwritableLogRefusesTheCommands)
{
    const std::string unwritable[] = {testing::TempDir() + "no-such-folder/log.txt", testing::TempDir()};
    for (const std::string& path : unwritable) {
        SCOPED_TRACE(path);
        machine(path);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(AtaPassThrough(physicalDrivePath(1), kIdentifyAta, sector_, 1, true));
        EXPECT_FALSE(AtaPassThroughOut(physicalDrivePath(1), kDownloadAta, counting_, 1));
        EXPECT_FALSE(ScsiPassThroughOut(physicalDrivePath(2), kDownloadSat, counting_, 1));
        uint8_t log[512];
        EXPECT_FALSE(NvmeAdminPassThrough(physicalDrivePath(3), kNvmeHealthLog, log, sizeof log));
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_EQ(message.rfind("quillfence: device log " + path + ": ", 0), 0u) << message;
        EXPECT_EQ(message.find('\n'), message.size() - 1) << "said once: " << message;
        EXPECT_EQ(sim().driveState(1).commandsReceived(), 0);
        EXPECT_EQ(sim().driveState(2).commandsReceived(), 0);
        EXPECT_EQ(sim().driveState(3).commandsReceived(), 0);
        EXPECT_TRUE(sim().received().empty());
        EXPECT_EQ(sim().lastError(), SimulatedStorage::kErrorWriteFault);
        EXPECT_TRUE(deviceLogFailed());
    }

    // Logging to a usable file again lets commands through.
    sim().logCommandsTo(logPath_);
    EXPECT_FALSE(deviceLogFailed());
    EXPECT_TRUE(AtaPassThrough(physicalDrivePath(1), kIdentifyAta, sector_, 1, true));
    EXPECT_EQ(logLines().size(), 1u);
}

}  // namespace
