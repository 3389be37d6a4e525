// Sectors that an emulated SATA drive really sent, captured by
// tests/vm/capture_sectors.py into data/sectors/ and described by the fleet
// file data/qemu-captured.json. Read back through the disk layer they must give
// the identity the drive was configured with and the SMART sectors unchanged.

#include "disk/DiskIdentity.h"
#include "disk/DiskList.h"
#include "disk/simulated/Fleet.h"
#include "disk/simulated/SimulatedStorage.h"
#include "disk/StorageBackend.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <numeric>
#include <vector>

namespace {

const std::string kData = QUILLFENCE_SOURCE_DIR "/data/";
constexpr int kCapturedDrive = 1;

std::vector<uint8_t> sectorFile(const std::string& name)
{
    std::ifstream file(kData + "sectors/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(CapturedSectors, SmartSectorsAreWholeWithTheirChecksums)
{
    for (const char* name : {"qemu-qyd-m7a0-smart-data.bin", "qemu-qyd-m7a0-smart-thresholds.bin"}) {
        const auto sector = sectorFile(name);
        ASSERT_EQ(sector.size(), static_cast<size_t>(kSectorSize)) << name;
        EXPECT_EQ(std::accumulate(sector.begin(), sector.end(), 0u) % 256, 0u) << name << ": byte 511 is a checksum";
    }
}

TEST(CapturedSectors, DriveReadsBackWithItsIdentityAndSectors)
{
    installStorage(std::make_unique<SimulatedStorage>(loadFleet(kData + "qemu-captured.json")));
    int diskCount = 0;
    std::vector<PhyDiskInfo> diskList(kMaxDisks);
    ASSERT_EQ(ReadDiskList(diskCount, diskList.data()), DiskListStatus::Listed);
    ASSERT_EQ(diskCount, 1) << "the system disk is left out";
    PhyDiskInfo& disk = diskList[0];
    ASSERT_EQ(disk.diskNum, kCapturedDrive);

    EXPECT_EQ(ReadDiskIdentity(disk), kIdentityOk);
    EXPECT_EQ(disk.valid, 1);
    // As the drive was configured: serial right-aligned in its 20 characters,
    // firmware of odd length.
    EXPECT_STREQ(disk.serialNumber, "QY24A0001234");
    EXPECT_STREQ(disk.model, "QYD-M7A0-512G");
    EXPECT_STREQ(disk.firmware, "QF1.07a");
    EXPECT_EQ(disk.isMakerDisk, 1) << "by its model text; the emulated SMART sector carries no marker";

    const auto smartData = sectorFile("qemu-qyd-m7a0-smart-data.bin");
    const auto thresholds = sectorFile("qemu-qyd-m7a0-smart-thresholds.bin");
    ASSERT_EQ(smartData.size(), static_cast<size_t>(kSectorSize));
    ASSERT_EQ(thresholds.size(), static_cast<size_t>(kSectorSize));
    EXPECT_EQ(std::vector<uint8_t>(disk.smartData, disk.smartData + kSmartDataLength),
              std::vector<uint8_t>(smartData.begin(), smartData.begin() + kSmartDataLength));
    EXPECT_EQ(std::vector<uint8_t>(disk.smartThreshold, disk.smartThreshold + kSectorSize), thresholds);
}

}  // namespace
