#include "ExpectedDiagnostics.h"
#include "FleetFixture.h"

#include "disk/DiskList.h"
#include "disk/Partitions.h"

#include <vector>

namespace {

constexpr unsigned long long kGiB = 1ull << 30;

class PartitionsTest : public FleetTest {
protected:
    // System disk 0 holding C and `systemVolumes`; the other drives follow.
    void machine(const std::string& drives, const std::string& top = "", const std::string& systemVolumes = "")
    {
        install("{" + top + "\"drives\": [" +
                driveJson(0, 256 * kGiB, volumeJson('C', 200 * kGiB, kGiB) + systemVolumes) + ", " + drives + "]}");
        ASSERT_TRUE(GetPhyDiskList(false, count, disks.data()));
    }
    int partitions()
    {
        testing::internal::CaptureStderr();
        const int result = GetPartitionInfo(count, disks.data());
        diagnostics = testing::internal::GetCapturedStderr();
        return result;
    }
    std::string letters(int slot) const { return std::string(disks[slot].partLetter, disks[slot].partCount); }

    int count = 0;
    std::vector<PhyDiskInfo> disks = std::vector<PhyDiskInfo>(kMaxDisks);
    std::string diagnostics;
};

TEST_F(PartitionsTest, PartitionsComeInAscendingLetterOrderPerDisk)
{
    machine(driveJson(1, 100 * kGiB, volumeJson('E', kGiB, 0) + ", " + volumeJson('D', 2 * kGiB, kGiB)) + ", " +
            driveJson(2, 100 * kGiB, volumeJson('F', 3 * kGiB, kGiB)) + ", " + driveJson(3, 100 * kGiB));
    EXPECT_EQ(partitions(), 0);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(letters(0), "DE");
    EXPECT_DOUBLE_EQ(disks[0].partTotal[0], 2.0);
    EXPECT_EQ(letters(1), "F");
    EXPECT_EQ(disks[2].partCount, 0);
    EXPECT_EQ(diagnostics, "") << "the system disk's volume C is ignored silently";
}

TEST_F(PartitionsTest, SizesAreInGigabytesAndFreeIsWhatTheUserMayUse)
{
    machine(driveJson(1, 2000 * kGiB,
                      volumeJson('D', 1000202039296ull, 600000000000ull, ", \"totalFree\": 900000000000")));
    partitions();
    ASSERT_EQ(disks[0].partCount, 1);
    EXPECT_NEAR(disks[0].partTotal[0], 931.51, 0.005);
    EXPECT_NEAR(disks[0].partFree[0], 558.79, 0.005);
}

TEST_F(PartitionsTest, OnlyFixedVolumesContribute)
{
    const std::string volumes = volumeJson('D', kGiB, 0, ", \"type\": \"removable\"") + ", " +
                                volumeJson('E', kGiB, 0, ", \"type\": \"cdrom\"") + ", " +
                                volumeJson('F', kGiB, 0, ", \"type\": \"remote\"") + ", " +
                                volumeJson('G', kGiB, 0, ", \"type\": \"ramdisk\"") + ", " +
                                volumeJson('H', kGiB, 0, ", \"type\": \"unknown\"") + ", " +
                                volumeJson('I', kGiB, 0);
    machine(driveJson(1, 10 * kGiB, volumes, ", \"bus\": \"usb\""));
    partitions();
    EXPECT_EQ(letters(0), "I");
}

TEST_F(PartitionsTest, VolumesWhoseDiskCannotBeFoundAreLeftOutWithTheirDiagnostics)
{
    machine(driveJson(1, 10 * kGiB, volumeJson('E', kGiB, 0, ", \"faults\": [\"deviceNumber\"]") + ", " +
                                        volumeJson('F', kGiB, 0, ", \"faults\": [\"open\"]") + ", " +
                                        volumeJson('G', kGiB, 0, ", \"faults\": [\"freeSpace\"]") + ", " +
                                        volumeJson('H', kGiB, 0)),
            "\"volumes\": [" + volumeJson('S', kGiB, 0, ", \"drives\": [1, 2], \"mountPoint\": \"/srv/pool\"") + ", " +
                volumeJson('T', kGiB, 0) + "], ");
    partitions();
    EXPECT_EQ(letters(0), "H");
    EXPECT_EQ(diagnostics, kExpectedDiagnostics.volumesWithoutDrive);
}

TEST_F(PartitionsTest, AnEmptyLetteredVolumeMaskLeavesEveryDiskWithoutPartitions)
{
    machine(driveJson(1, 10 * kGiB, volumeJson('D', kGiB, 0)));
    partitions();
    ASSERT_EQ(disks[0].partCount, 1);
    sim().fleet().noLogicalDrives = true;
    partitions();
    EXPECT_EQ(disks[0].partCount, 0);
}

TEST_F(PartitionsTest, RunningTwiceDoesNotAddPartitionsTwice)
{
    machine(driveJson(1, 10 * kGiB, volumeJson('D', kGiB, 0) + ", " + volumeJson('E', kGiB, 0)));
    partitions();
    partitions();
    EXPECT_EQ(letters(0), "DE");
}

TEST_F(PartitionsTest, VolumeLookupAnswersTheHoldingDrive)
{
    machine(driveJson(7, 10 * kGiB, volumeJson('D', kGiB, 0)));
    EXPECT_EQ(GetDiskNumOfVolume('C'), 0);
    EXPECT_EQ(GetDiskNumOfVolume('D'), 7);
    testing::internal::CaptureStderr();
    EXPECT_EQ(GetDiskNumOfVolume('Q'), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), kExpectedDiagnostics.volumeQMissing);
    EXPECT_EQ(sim().openHandles(), 0u);
}

}  // namespace
