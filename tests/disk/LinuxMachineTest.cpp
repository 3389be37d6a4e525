// The Linux backend read from a fake machine: names, block devices,
// mountinfo, the lettered volumes with their disks and the system volume,
// stable drive numbers, and how often each source is read.

#include "FakeMachine.h"

#include "disk/linux/DriveNumbering.h"
#include "disk/linux/LinuxSnapshot.h"
#include "disk/linux/LinuxStorage.h"
#include "disk/linux/MountInfo.h"

#include <algorithm>

namespace {

TEST(LinuxNames, OnlyWholeDisksArePhysicalDrives)
{
    for (const char* name : {"sda", "sdaa", "hdb", "vda", "nvme0n1", "nvme12n3", "mmcblk0"})
        EXPECT_TRUE(isPhysicalDiskName(name)) << name;
    for (const char* name : {"sda1", "loop0", "ram0", "zram0", "dm-0", "md0", "sr0", "nvme0n1p1", "nvme0", "nvmen1",
                             "nvme0n", "mmcblk0p1", "mmcblk0boot0", "mmcblk0rpmb", "mmcblk", "sd", "sdA", ""})
        EXPECT_FALSE(isPhysicalDiskName(name)) << name;
}

TEST(LinuxNames, NaturalNameOrder)
{
    std::vector<std::string> names = {"sdaa", "sdb", "vda", "nvme0n10", "sdz", "sda", "nvme0n2", "nvme1n1", "hda"};
    std::sort(names.begin(), names.end(), naturalNameLess);
    const std::vector<std::string> expected = {"hda", "nvme0n2", "nvme0n10", "nvme1n1", "sda", "sdb", "sdz", "sdaa", "vda"};
    EXPECT_EQ(names, expected);
}

TEST(LinuxNames, BusTypeFromTheDevicePath)
{
    struct Case { std::string path; uint32_t bus; };
    const Case cases[] = {
        {"/sys/devices/" + kSata, 11},
        {"/sys/devices/" + kUsb, 7},
        {"/sys/devices/pci0000:00/0000:00:1d.0/usb1/1-1/1-1:1.0/host3/ata5/block/sdd", 7},
        {"/sys/devices/" + kNvme, 17},
        {"/sys/devices/pci0000:00/0000:00:05.0/virtio2/block/vda", 0},
        {"/sys/devices/platform/data/block/sde", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(busTypeFromSysfsPath(c.path), c.bus) << c.path;
}

TEST(LinuxMountInfo, FieldsOptionalFieldsAndEscapes)
{
    const auto entries = parseMountInfo(
        "26 1 8:1 / / rw,relatime shared:1 - ext4 /dev/root rw\n"
        "27 26 8:17 / /mnt/my\\040disk rw - ext4 /dev/sdb1 rw,errors=remount-ro\n"
        "garbage\n"
        "28 26 0:21 / /proc rw - proc proc rw\n"
        "29 26 0:33 /@home /home rw shared:5 master:2 - btrfs /dev/mapper/a\\134b rw,subvol=/@home\n"
        "30 26 0:34 / /odd\\891\\12 rw - tmpfs none rw\n"
        "31 26 0:35 / /short rw -\n");
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].majMin, "8:1");
    EXPECT_EQ(entries[0].source, "/dev/root");
    EXPECT_EQ(entries[1].mountPoint, "/mnt/my disk");
    EXPECT_EQ(entries[1].superOptions, "rw,errors=remount-ro");
    EXPECT_EQ(entries[2].type, "proc");
    EXPECT_EQ(entries[3].root, "/@home");
    EXPECT_EQ(entries[3].type, "btrfs");
    EXPECT_EQ(entries[3].source, "/dev/mapper/a\\b");
    EXPECT_EQ(entries[4].mountPoint, "/odd\\891\\12") << "no octal escape: kept as it stands";
}

TEST(LinuxDriveNumbering, NumbersStayWithTheirDiskWhileItIsPresent)
{
    struct Step {
        std::vector<PresentDisk> present;
        std::vector<std::pair<std::string, int>> numbers;
    };
    const Step steps[] = {
        {{{"sda", 1}, {"sdb", 2}, {"sdc", 3}}, {{"sda", 0}, {"sdb", 1}, {"sdc", 2}}},
        // sda leaves: the others keep their numbers.
        {{{"sdb", 2}, {"sdc", 3}}, {{"sdb", 1}, {"sdc", 2}}},
        // A new disk takes the lowest free number.
        {{{"sdb", 2}, {"sdc", 3}, {"sdd", 4}}, {{"sdd", 0}, {"sdb", 1}, {"sdc", 2}}},
        // Another disk under a known name is a new disk: sdc's number is
        // freed, then the lowest free number goes to the newcomer.
        {{{"sdb", 2}, {"sdc", 9}, {"sdd", 4}}, {{"sdd", 0}, {"sdb", 1}, {"sdc", 2}}},
        {{{"sda", 10}, {"sdc", 9}}, {{"sda", 0}, {"sdc", 2}, {"sdb", -1}, {"sdd", -1}}},
    };
    DriveNumbering numbering;
    for (size_t i = 0; i < std::size(steps); ++i) {
        numbering.update(steps[i].present);
        for (const auto& [name, number] : steps[i].numbers) {
            EXPECT_EQ(numbering.numberOf(name), number) << "step " << i << " " << name;
            if (number >= 0)
                EXPECT_EQ(numbering.diskOf(number), name) << "step " << i;
        }
    }
    EXPECT_EQ(numbering.diskOf(1), "");
}

// nvme0n1 (p1 in a btrfs pool with sdb4, p2 ext4 under an overlay), sda
// (boot, and a btrfs root with subvolumes), sdb (a bind-mounted partition,
// LVM on sdb2, a dm device spanning sdb3 and sdc2), sdc (a removable USB
// stick mounted by a /dev/disk link through fuse), loop0, proc and tmpfs.
class LinuxMachineTest : public FakeMachine {
protected:
    void SetUp() override
    {
        FakeMachine::SetUp();
        device(kNvme, "259:0");
        partition(kNvme, "nvme0n1p1", "259:1", 1);
        partition(kNvme, "nvme0n1p2", "259:2", 2);
        device(kSata, "8:0");
        attribute(kSata, "diskseq", "11");
        partition(kSata, "sda1", "8:1", 1);
        partition(kSata, "sda2", "8:2", 2);
        device(kSataB, "8:16");
        for (int n = 1; n <= 4; ++n)
            partition(kSataB, "sdb" + std::to_string(n), "8:" + std::to_string(16 + n), n);
        device(kUsb, "8:32");
        attribute(kUsb, "removable", "1");
        partition(kUsb, "sdc1", "8:33", 1);
        partition(kUsb, "sdc2", "8:34", 2);
        mapper("dm-0", "253:0", "vg-lib", {"sdb2"});
        mapper("dm-1", "253:1", "span", {"sdb3", "sdc2"});
        device("virtual/block/loop0", "7:0");
        btrfs("4d1f-root", {"sda2"});
        btrfs("77aa-pool", {"nvme0n1p1", "sdb4"});
        devLink("disk/by-uuid/ab-cd", "../../sdc1");
        mountinfo(
            "21 1 0:30 /@ / rw - btrfs /dev/sda2 rw,subvol=/@\n"
            "22 21 0:5 / /proc rw - proc proc rw\n"
            "23 21 8:1 / /boot rw - ext4 /dev/sda1 rw\n"
            "24 21 0:30 /@home /home rw - btrfs /dev/sda2 rw,subvol=/@home\n"
            "25 21 0:30 /@ /var/snapshots/root rw - btrfs /dev/sda2 rw,subvol=/@\n"
            "26 21 8:17 / /srv/data rw - ext4 /dev/sdb1 rw\n"
            "27 21 8:17 / /mnt/bind rw - ext4 /dev/sdb1 rw\n"
            "28 21 253:0 / /var/lib rw - xfs /dev/mapper/vg-lib rw\n"
            "29 21 0:40 / /media/stick rw - fuseblk /dev/disk/by-uuid/ab-cd rw\n"
            "30 21 253:1 / /srv/span rw - ext4 /dev/mapper/span rw\n"
            "31 21 0:41 / /pool rw - btrfs /dev/sdb4 rw\n"
            "32 21 259:2 / /data rw - ext4 /dev/nvme0n1p2 rw\n"
            "33 21 7:0 / /snap/x rw - squashfs /dev/loop0 ro\n"
            "34 21 0:42 / /merged rw - overlay overlay rw,lowerdir=/usr,upperdir=/data/up,workdir=/data/work\n"
            "35 21 0:43 / /tmp rw - tmpfs tmpfs rw\n");
    }
};

TEST_F(LinuxMachineTest, BlockDevicesPartitionsAndTheDisksBeneathStackedDevices)
{
    const auto files = reader();
    BlockDevices blocks = BlockDevices::read(*files);
    // Partition numbers and removable flags are read for volumes only.
    blocks.readVolumeDetails(*files, {"nvme0n1p2", "sdc1"});
    EXPECT_EQ(blocks.physicalDisks(), (std::vector<std::string>{"nvme0n1", "sda", "sdb", "sdc"}));
    EXPECT_EQ(blocks.byName("nvme0n1p2")->disk, "nvme0n1");
    EXPECT_EQ(blocks.byName("nvme0n1p2")->partition, 2);
    EXPECT_EQ(blocks.byName("nvme0n1p1")->partition, 0) << "beneath no volume: not read";
    EXPECT_EQ(files->reads.count("/sys/devices/" + kNvme + "/nvme0n1p1/partition"), 0u);
    EXPECT_EQ(files->reads.count("/sys/devices/" + kNvme + "/nvme0n1p2/partition"), 1u);
    EXPECT_EQ(blocks.byMajMin("8:19")->name, "sdb3");
    EXPECT_EQ(blocks.wholeDisks("sdb3"), std::vector<std::string>{"sdb"});
    EXPECT_EQ(blocks.wholeDisks("dm-0"), std::vector<std::string>{"sdb"});
    EXPECT_EQ(blocks.wholeDisks("dm-1"), (std::vector<std::string>{"sdb", "sdc"}));
    EXPECT_EQ(blocks.wholeDisks("loop0"), std::vector<std::string>{"loop0"});
    EXPECT_EQ(blocks.byMapperName("vg-lib")->name, "dm-0");
    EXPECT_TRUE(blocks.byName("sdc")->removable);
    EXPECT_FALSE(blocks.byName("sda")->removable);
    EXPECT_EQ(blocks.byName("sda")->sequence, 11u);
    EXPECT_EQ(blocks.byName("sdb")->sequence, 0u);
    EXPECT_EQ(busTypeFromSysfsPath(blocks.byName("sdc")->path), 7u);
    EXPECT_EQ(busTypeFromSysfsPath(blocks.byName("nvme0n1")->path), 17u);
}

TEST_F(LinuxMachineTest, VolumesAreMatchedToTheirDisksThroughTheirSources)
{
    DriveNumbering numbering;
    const LinuxSnapshot snapshot = takeSnapshot(*reader(), numbering);
    struct Expected { char letter; const char* mountPoint; int disk; int partition; };
    const Expected expected[] = {
        {'C', "/data", 0, 2},        // nvme0n1p2, also under the overlay /merged
        {'D', "/boot", 1, 1},        // sda1
        {'E', "/", 1, 2},            // btrfs on sda2, three subvolume mounts
        {'F', "/var/lib", 2, 0},     // LVM on sdb2
        {'G', "/mnt/bind", 2, 1},    // sdb1, mounted twice
        {'H', "/media/stick", 3, 1}, // sdc1 through a /dev/disk link
        {'I', "/pool", -1, 0},       // btrfs over nvme0n1p1 and sdb4
        {'J', "/snap/x", -1, 0},     // a loop device
        {'K', "/srv/span", -1, 0},   // dm over sdb3 and sdc2
    };
    ASSERT_EQ(snapshot.volumes.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const LinuxVolume& volume = snapshot.volumes[i];
        EXPECT_EQ(volume.letter, expected[i].letter) << i;
        EXPECT_EQ(volume.mountPoint, expected[i].mountPoint) << i;
        EXPECT_EQ(volume.diskNumber, expected[i].disk) << volume.mountPoint;
        EXPECT_EQ(volume.partition, expected[i].partition) << volume.mountPoint;
    }
    ASSERT_TRUE(snapshot.systemLetter);
    EXPECT_EQ(*snapshot.systemLetter, 'E');
}

TEST_F(LinuxMachineTest, EachSourceIsReadOncePerEnumeration)
{
    auto counting = reader();
    const CountingReader& reads = *counting;
    LinuxStorage storage(std::move(counting));
    for (int enumeration = 1; enumeration <= 2; ++enumeration) {
        storage.beginEnumeration();
        std::string system;
        ASSERT_TRUE(storage.systemDirectory(system));
        for (char letter = 'C'; letter <= 'K'; ++letter) {
            const DeviceHandle volume = storage.open(std::string("\\\\.\\") + letter + ":", AccessMode::ReadWrite);
            ASSERT_NE(volume, kInvalidHandle) << letter;
            uint32_t number = 0;
            storage.queryDeviceNumber(volume, number);
            storage.driveType(std::string(1, letter) + ":\\");
            storage.close(volume);
        }
        for (int drive = 0; drive < 26; ++drive) {
            const DeviceHandle handle = storage.open("\\\\.\\PHYSICALDRIVE" + std::to_string(drive),
                                                     AccessMode::QueryOnly);
            uint32_t bus = 0;
            if (handle != kInvalidHandle && storage.queryBusType(handle, bus))
                storage.close(handle);
        }
        EXPECT_EQ(reads.reads.at("mountinfo"), enumeration);
        EXPECT_EQ(reads.reads.at("/sys/dev/block"), enumeration);
        for (const auto& [path, times] : reads.reads)
            EXPECT_EQ(times, enumeration) << path;
    }
}

TEST_F(LinuxMachineTest, TheSystemDiskIsFoundWithoutOpeningADevice)
{
    // /dev holds no device node at all: nothing can be opened.
    LinuxStorage storage(reader());
    std::string system;
    ASSERT_TRUE(storage.systemDirectory(system));
    EXPECT_EQ(system, "E:\\");
    const DeviceHandle volume = storage.open("\\\\.\\E:", AccessMode::ReadWrite);
    ASSERT_NE(volume, kInvalidHandle);
    uint32_t number = 99;
    EXPECT_TRUE(storage.queryDeviceNumber(volume, number));
    EXPECT_EQ(number, 1u);
    storage.close(volume);
    EXPECT_EQ(storage.driveType("H:\\"), DriveType::Removable);
    EXPECT_EQ(storage.driveType("E:\\"), DriveType::Fixed);
    EXPECT_EQ(storage.driveType("L:\\"), DriveType::NoRootDir);

    testing::internal::CaptureStderr();
    EXPECT_EQ(storage.open("\\\\.\\PHYSICALDRIVE1", AccessMode::ReadWrite), kInvalidHandle);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), (root / "dev/sda").string() + ": No such file or directory\n");
    EXPECT_EQ(storage.open("\\\\.\\PHYSICALDRIVE4", AccessMode::ReadWrite), kInvalidHandle) << "no fifth disk";
}

// What people and scripts call the drives and volumes, from the snapshot:
// no device is opened for it.
TEST_F(LinuxMachineTest, SystemNamesAreTheDeviceNodesAndTheMountPoints)
{
    LinuxStorage storage(reader());
    storage.beginEnumeration();
    struct Case {
        std::string path;
        const char* name;  // nullptr: none
    };
    const Case cases[] = {
        {"\\\\.\\PHYSICALDRIVE0", "/dev/nvme0n1"}, {"\\\\.\\PHYSICALDRIVE3", "/dev/sdc"},
        {"\\\\.\\PHYSICALDRIVE4", nullptr},        {"E:\\", "/"},
        {"H:\\", "/media/stick"},                 {"L:\\", nullptr},
        {"\\\\.\\E:", nullptr},                  {"/dev/sda", nullptr},
    };
    for (const Case& c : cases) {
        std::string name = "unchanged";
        EXPECT_EQ(storage.systemName(c.path, name), c.name != nullptr) << c.path;
        EXPECT_EQ(name, c.name ? c.name : "unchanged") << c.path;
    }
}

TEST_F(LinuxMachineTest, DriveNumbersStayWhenALowerNamedDiskLeaves)
{
    LinuxStorage storage(reader());
    storage.beginEnumeration();
    std::filesystem::remove(root / "sys/dev/block/259:0");
    storage.beginEnumeration();
    const auto busOf = [&](int drive) {
        const DeviceHandle handle = storage.open("\\\\.\\PHYSICALDRIVE" + std::to_string(drive), AccessMode::QueryOnly);
        uint32_t bus = 99;
        if (handle != kInvalidHandle) {
            storage.queryBusType(handle, bus);
            storage.close(handle);
        }
        return bus;
    };
    EXPECT_EQ(busOf(0), 99u) << "nvme0n1 left; its number stays free";
    EXPECT_EQ(busOf(1), 11u);
    EXPECT_EQ(busOf(3), 7u);
    std::string system;
    ASSERT_TRUE(storage.systemDirectory(system));
    const DeviceHandle volume = storage.open("\\\\.\\" + system.substr(0, 2), AccessMode::ReadWrite);
    uint32_t number = 99;
    EXPECT_TRUE(storage.queryDeviceNumber(volume, number));
    EXPECT_EQ(number, 1u);
}

TEST_F(FakeMachine, ARootOnNoBlockDeviceLeavesNoSystemDisk)
{
    device(kSata, "8:0");
    partition(kSata, "sda1", "8:1", 1);
    mountinfo("1 0 0:20 / / rw - overlay overlay rw,lowerdir=/l,upperdir=/u\n"
              "2 1 8:1 / /mnt rw - ext4 /dev/sda1 rw\n");
    LinuxStorage storage(reader());
    std::string system;
    EXPECT_FALSE(storage.systemDirectory(system));
    EXPECT_EQ(storage.logicalDrives(), 1u << ('C' - 'A'));
}

}  // namespace
