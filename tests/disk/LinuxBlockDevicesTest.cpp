#include "disk/linux/LinuxBlockDevices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(LinuxBlockDevices, OnlyWholeDisksArePhysicalDrives)
{
    for (const char* name : {"sda", "sdaa", "hdb", "vda", "nvme0n1", "nvme12n3", "mmcblk0"})
        EXPECT_TRUE(isPhysicalDiskName(name)) << name;
    for (const char* name : {"sda1", "loop0", "ram0", "zram0", "dm-0", "md0", "sr0", "nvme0n1p1", "nvme0",
                             "mmcblk0p1", "mmcblk0boot0", "mmcblk0rpmb", "sd"})
        EXPECT_FALSE(isPhysicalDiskName(name)) << name;
}

TEST(LinuxBlockDevices, NaturalNameOrder)
{
    std::vector<std::string> names = {"sdaa", "sdb", "vda", "nvme0n10", "sdz", "sda", "nvme0n2", "nvme1n1", "hda"};
    std::sort(names.begin(), names.end(), naturalNameLess);
    const std::vector<std::string> expected = {"hda", "nvme0n2", "nvme0n10", "nvme1n1", "sda", "sdb", "sdz", "sdaa", "vda"};
    EXPECT_EQ(names, expected);
}

TEST(LinuxBlockDevices, BusTypeFromTheDevicePath)
{
    struct Case { const char* path; uint32_t bus; };
    const Case cases[] = {
        {"/sys/devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda", 11},
        {"/sys/devices/pci0000:00/0000:00:04.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block/sdc", 7},
        {"/sys/devices/pci0000:00/0000:00:1d.0/usb1/1-1/1-1:1.0/host3/ata5/block/sdd", 7},
        {"/sys/devices/pci0000:00/0000:00:06.0/nvme/nvme0/nvme0n1", 17},
        {"/sys/devices/pci0000:00/0000:00:05.0/virtio2/block/vda", 0},
        {"/sys/devices/platform/data/block/sde", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(busTypeFromSysfsPath(c.path), c.bus) << c.path;
}

// A small sysfs: sda (SATA, two partitions), sdb (USB, removable), dm-0 over
// sda2 and sdb, loop0.
class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::path(testing::TempDir()) / "fake-sysfs";
        fs::remove_all(root);
        const std::string sata = "devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda";
        const std::string usb = "devices/pci0000:00/usb1/1-1/1-1:1.0/host6/target6:0:0/6:0:0:0/block/sdb";
        device(sata, "sda", "8:0");
        device(sata + "/sda1", "sda1", "8:1", "1");
        device(sata + "/sda2", "sda2", "8:2", "2");
        device(usb, "sdb", "8:16");
        write(root / usb / "removable", "1");
        device("devices/virtual/block/dm-0", "dm-0", "253:0");
        fs::create_directory_symlink(root / sata / "sda2", root / "devices/virtual/block/dm-0/slaves/sda2");
        fs::create_directory_symlink(root / usb, root / "devices/virtual/block/dm-0/slaves/sdb");
        device("devices/virtual/block/loop0", "loop0", "7:0");
        for (const char* disk : {"sda", "sdb", "dm-0", "loop0"})
            fs::create_directory_symlink(fs::read_symlink(root / "class/block" / disk), root / "block" / disk);
    }
    void device(const std::string& dir, const std::string& name, const std::string& majMin,
                const std::string& partition = "")
    {
        fs::create_directories(root / dir / "slaves");
        write(root / dir / "uevent", "MAJOR=x\nDEVNAME=" + name + "\n");
        if (!partition.empty())
            write(root / dir / "partition", partition);
        fs::create_directories(root / "class/block");
        fs::create_directories(root / "dev/block");
        fs::create_directory_symlink(root / dir, root / "class/block" / name);
        fs::create_directory_symlink(root / dir, root / "dev/block" / majMin);
        fs::create_directories(root / "block");
    }
    static void write(const fs::path& file, const std::string& text) { std::ofstream(file) << text << '\n'; }

    fs::path root;
};

TEST_F(FakeSysfs, FindsDisksPartitionsAndTheDisksBeneathStackedDevices)
{
    LinuxBlockDevices blocks(root.string());
    EXPECT_EQ(blocks.physicalDisks(), (std::vector<std::string>{"sda", "sdb"}));
    EXPECT_EQ(blocks.wholeDisks("8:1"), std::vector<std::string>{"sda"});
    EXPECT_EQ(blocks.wholeDisks("8:16"), std::vector<std::string>{"sdb"});
    EXPECT_EQ(blocks.wholeDisks("253:0"), (std::vector<std::string>{"sda", "sdb"}));
    EXPECT_EQ(blocks.partitionNumber("8:2"), 2);
    EXPECT_EQ(blocks.partitionNumber("8:0"), 0);
    EXPECT_EQ(blocks.devName("8:2"), "sda2");
    EXPECT_TRUE(blocks.exists("7:0"));
    EXPECT_FALSE(blocks.exists("0:21"));
    EXPECT_TRUE(blocks.removable("sdb"));
    EXPECT_FALSE(blocks.removable("sda"));
    EXPECT_EQ(busTypeFromSysfsPath(blocks.devicePath("sda")), 11u);
    EXPECT_EQ(busTypeFromSysfsPath(blocks.devicePath("sdb")), 7u);
}

}  // namespace
