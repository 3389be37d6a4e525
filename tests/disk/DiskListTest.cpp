#include "ExpectedDiagnostics.h"
#include "FleetFixture.h"

#include "disk/DiskList.h"
#include "disk/Partitions.h"

#include <cstring>
#include <vector>

namespace {

constexpr unsigned long long kGiB = 1ull << 30;

class DiskListTest : public FleetTest {
protected:
    // System disk 0 with volume C; `drives` follow.
    SimulatedStorage& machine(const std::string& drives, const std::string& top = "")
    {
        return install("{" + top + "\"drives\": [" + driveJson(0, 256 * kGiB, volumeJson('C', 200 * kGiB, kGiB)) +
                       (drives.empty() ? "" : ", " + drives) + "]}");
    }
    bool list(bool includeSystemDisk = false)
    {
        count = -1;
        return GetPhyDiskList(includeSystemDisk, count, disks.data());
    }
    int count = -1;
    std::vector<PhyDiskInfo> disks = std::vector<PhyDiskInfo>(kMaxDisks);
};

TEST_F(DiskListTest, ProbesPastGapsUpToDrive25AndLeavesOutTheSystemDisk)
{
    machine(driveJson(2, 100 * kGiB) + ", " + driveJson(25, 200 * kGiB) + ", " + driveJson(26, 300 * kGiB));
    ASSERT_TRUE(list());
    ASSERT_EQ(count, 2);
    EXPECT_EQ(disks[0].diskNum, 2);
    EXPECT_EQ(disks[0].isSystemDisk, 0);
    EXPECT_DOUBLE_EQ(disks[0].capacity, 100.0);
    EXPECT_EQ(disks[1].diskNum, 25);
    EXPECT_EQ(disks[2].diskNum, 0) << "drive 26 is never probed";
}

TEST_F(DiskListTest, IncludesAndMarksTheSystemDiskWhenAsked)
{
    machine(driveJson(1, 100 * kGiB));
    ASSERT_TRUE(list(true));
    ASSERT_EQ(count, 2);
    EXPECT_EQ(disks[0].diskNum, 0);
    EXPECT_EQ(disks[0].isSystemDisk, 1);
    EXPECT_EQ(disks[1].isSystemDisk, 0);
}

TEST_F(DiskListTest, TheWholeListRebuiltWithTheSystemDiskAndItsPartitions)
{
    machine(driveJson(1, 100 * kGiB, volumeJson('D', kGiB, 0)));
    ASSERT_EQ(ReadDiskList(count, disks.data()), DiskListStatus::Listed);
    ASSERT_EQ(count, 1);
    ASSERT_EQ(ReadDiskList(count, disks.data(), true), DiskListStatus::Listed);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(disks[0].isSystemDisk, 1);
    EXPECT_EQ(std::string(disks[0].partLetter, disks[0].partCount), "C");
    EXPECT_EQ(std::string(disks[1].partLetter, disks[1].partCount), "D");
}

TEST_F(DiskListTest, OnlyTheSystemDiskGivesAnEmptyListAndSuccess)
{
    machine("");
    EXPECT_TRUE(list());
    EXPECT_EQ(count, 0);
}

TEST_F(DiskListTest, CapacityIsInGigabytesOfTwoToThe30)
{
    machine(driveJson(1, 512110190592ull));
    ASSERT_TRUE(list());
    EXPECT_NEAR(disks[0].capacity, 476.94, 0.005);
    EXPECT_DOUBLE_EQ(disks[0].capacity, 512110190592.0 / 1073741824.0);
}

TEST_F(DiskListTest, DrivesThatCannotBeOpenedOrMeasuredAreAbsent)
{
    machine(driveJson(1, kGiB, "", ", \"faults\": [\"openReadWrite\"]") + ", " +
            driveJson(2, kGiB, "", ", \"faults\": [\"length\"]") + ", " +
            driveJson(3, kGiB, "", ", \"faults\": [\"openQueryOnly\", \"openPassThrough\", \"busType\"]"));
    ASSERT_TRUE(list());
    ASSERT_EQ(count, 1);
    EXPECT_EQ(disks[0].diskNum, 3);
}

TEST_F(DiskListTest, FailingSystemDirectoryGivesFalseAndADiagnostic)
{
    machine(driveJson(1, kGiB), "\"faults\": [\"systemDirectory\"], ");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(list());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), kExpectedDiagnostics.systemDirectoryFault);
    EXPECT_EQ(count, 0);
}

TEST_F(DiskListTest, SystemVolumeOnNoDiskGivesFalse)
{
    install("{\"systemDirectory\": \"X:\\\\Windows\", \"drives\": [" + driveJson(1, kGiB) + "]}");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(list());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), kExpectedDiagnostics.systemVolumeMissing);
    EXPECT_EQ(count, 0);
}

TEST_F(DiskListTest, EveryRequestOpensAndClosesItsOwnHandleInItsMode)
{
    SimulatedStorage& sim = machine(driveJson(1, kGiB));
    ASSERT_TRUE(list());
    uint32_t bus = 0;
    ASSERT_TRUE(GetBusType(1, bus));
    EXPECT_EQ(bus, kBusTypeSata);
    EXPECT_EQ(sim.openHandles(), 0u);

    const std::vector<std::pair<std::string, AccessMode>> expected = {
        {"\\\\.\\C:", AccessMode::ReadWrite},
        {"\\\\.\\PHYSICALDRIVE0", AccessMode::ReadWrite},
        {"\\\\.\\PHYSICALDRIVE1", AccessMode::ReadWrite},
        {"\\\\.\\PHYSICALDRIVE1", AccessMode::ReadWrite},
        {"\\\\.\\PHYSICALDRIVE1", AccessMode::QueryOnly},
    };
    EXPECT_EQ(sim.openLog(), expected);
}

TEST_F(DiskListTest, BusTypeFailsWhenTheDriveOrTheQueryFails)
{
    machine(driveJson(1, kGiB, "", ", \"bus\": \"usb\"") + ", " +
            driveJson(2, kGiB, "", ", \"faults\": [\"busType\"]") + ", " +
            driveJson(3, kGiB, "", ", \"faults\": [\"openQueryOnly\"]"));
    uint32_t bus = 99;
    EXPECT_TRUE(GetBusType(1, bus));
    EXPECT_EQ(bus, kBusTypeUsb);
    bus = 99;
    EXPECT_FALSE(GetBusType(2, bus));
    EXPECT_FALSE(GetBusType(3, bus));
    EXPECT_FALSE(GetBusType(9, bus));
    EXPECT_EQ(bus, 99u);
}

TEST_F(DiskListTest, ARefreshWithFewerDrivesLeavesNothingOfTheVanishedOnes)
{
    SimulatedStorage& sim = machine(driveJson(1, 10 * kGiB, volumeJson('D', 5 * kGiB, kGiB)) + ", " +
                                    driveJson(2, 20 * kGiB, volumeJson('E', 6 * kGiB, kGiB)));
    ASSERT_EQ(ReadDiskList(count, disks.data()), DiskListStatus::Listed);
    ASSERT_EQ(count, 2);
    ASSERT_EQ(disks[1].partCount, 1);

    sim.fleet().drives.pop_back();
    ASSERT_EQ(ReadDiskList(count, disks.data()), DiskListStatus::Listed);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(disks[0].diskNum, 1);
    const std::vector<char> zero(sizeof(PhyDiskInfo), 0);
    for (int i = 1; i < kMaxDisks; ++i)
        EXPECT_EQ(std::memcmp(&disks[i], zero.data(), sizeof(PhyDiskInfo)), 0) << "slot " << i;
}

TEST_F(DiskListTest, AFailedRefreshLeavesAnEmptyList)
{
    SimulatedStorage& sim = machine(driveJson(1, kGiB));
    ASSERT_EQ(ReadDiskList(count, disks.data()), DiskListStatus::Listed);
    sim.fleet().systemDirectoryFails = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(ReadDiskList(count, disks.data()), DiskListStatus::NoSystemDisk);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(count, 0);
    EXPECT_EQ(disks[0].diskNum, 0);
    EXPECT_EQ(disks[0].capacity, 0.0);
}

TEST_F(DiskListTest, EachRecordNamesTheDeviceItWasReadFrom)
{
    SimulatedStorage& sim = machine(driveJson(1, kGiB, "", identityJson("A", "M", "F")) + ", " +
                                    driveJson(2, kGiB, "", identityJson("B", "M", "F")));
    ASSERT_EQ(ReadDiskList(count, disks.data()), DiskListStatus::Listed);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(disks[0].device.device, 1u);
    EXPECT_EQ(disks[1].device.device, 2u);
    EXPECT_NE(disks[0].device.sequence, disks[1].device.sequence);
    const DeviceIdentity first = disks[0].device;

    // The same fleet read again keeps the identities; another drive under
    // number 1 does not.
    ASSERT_EQ(ReadDiskList(count, disks.data()), DiskListStatus::Listed);
    EXPECT_EQ(disks[0].device, first);
    sim.fleet().drives[1] = parseFleet("{\"drives\": [" + driveJson(1, kGiB, "", identityJson("C", "M", "F")) + "]}")
                                .drives.front();
    ASSERT_EQ(ReadDiskList(count, disks.data()), DiskListStatus::Listed);
    EXPECT_NE(disks[0].device, first);
}

TEST_F(DiskListTest, AListEmptyForLackOfRightsSaysSo)
{
    const std::string denied = ", \"faults\": [\"openReadWrite\"]";
    struct Case {
        const char* what;
        std::string drives;
        DiskListStatus status;
        int count;
    };
    const Case cases[] = {
        {"every drive refused", driveJson(1, kGiB, "", denied) + ", " + driveJson(2, kGiB, "", denied),
         DiskListStatus::NoAccess, 0},
        {"one drive opened", driveJson(1, kGiB, "", denied) + ", " + driveJson(2, kGiB), DiskListStatus::Listed, 1},
        {"no drive but the system disk", "", DiskListStatus::Listed, 0},
    };
    for (const auto& c : cases) {
        machine(c.drives);
        EXPECT_EQ(ReadDiskList(count, disks.data()), c.status) << c.what;
        EXPECT_EQ(count, c.count) << c.what;
    }
    // The system disk refused alone is no lack of rights for the list.
    install("{\"drives\": [" + driveJson(0, kGiB, volumeJson('C', kGiB, 0), denied) + "]}");
    EXPECT_EQ(ReadDiskList(count, disks.data()), DiskListStatus::Listed);
}

TEST_F(DiskListTest, OneDriveIsReadWithoutTouchingTheOthers)
{
    SimulatedStorage& sim =
        machine(driveJson(1, kGiB, volumeJson('D', kGiB, 0), identityJson("S1", "QY-M7A0-128G", "F1")) + ", " +
                driveJson(2, 2 * kGiB, volumeJson('E', kGiB, 0) + ", " + volumeJson('F', kGiB, kGiB / 2),
                          identityJson("S2", "Other", "F2")) +
                ", " + driveJson(3, kGiB, "", identityJson("S3", "M", "F3")));
    PhyDiskInfo disk{};
    bool found = false;
    ASSERT_EQ(ReadOneDisk(2, false, disk, found), DiskListStatus::Listed);
    ASSERT_TRUE(found);
    EXPECT_EQ(disk.diskNum, 2);
    EXPECT_DOUBLE_EQ(disk.capacity, 2.0);
    EXPECT_EQ(std::string(disk.partLetter, disk.partCount), "EF");
    EXPECT_DOUBLE_EQ(disk.partFree[1], 0.5);
    EXPECT_EQ(disk.valid, 1);
    EXPECT_STREQ(disk.serialNumber, "S2");
    for (const auto& [path, mode] : sim.openLog())
        EXPECT_TRUE(path.find("PHYSICALDRIVE") == std::string::npos || path == "\\\\.\\PHYSICALDRIVE2") << path;
    for (const auto& command : sim.received())
        EXPECT_EQ(command.drive, 2);

    // Listed alone, the drive receives nothing.
    const size_t received = sim.received().size();
    ASSERT_EQ(ListOneDisk(3, false, disk, found), DiskListStatus::Listed);
    EXPECT_TRUE(found);
    EXPECT_EQ(disk.diskNum, 3);
    EXPECT_EQ(disk.valid, 0);
    EXPECT_EQ(sim.received().size(), received);

    struct Absent { int number; bool includeSystemDisk; bool found; };
    for (const Absent& c : {Absent{0, false, false}, Absent{0, true, true}, Absent{4, false, false},
                            Absent{26, false, false}, Absent{-1, false, false}}) {
        EXPECT_EQ(ReadOneDisk(c.number, c.includeSystemDisk, disk, found), DiskListStatus::Listed) << c.number;
        EXPECT_EQ(found, c.found) << c.number;
    }
}

}  // namespace
