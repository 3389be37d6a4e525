#include "disk/linux/LinuxVolumes.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(MountInfo, ReadsDeviceAndUnescapedMountPoint)
{
    const auto entries = parseMountInfo(
        "26 1 8:1 / / rw,relatime - ext4 /dev/root rw\n"
        "27 26 8:17 / /mnt/my\\040disk rw - ext4 /dev/sdb1 rw\n"
        "garbage\n"
        "28 26 0:21 / /proc rw - proc proc rw\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].majMin, "8:1");
    EXPECT_EQ(entries[0].mountPoint, "/");
    EXPECT_EQ(entries[1].mountPoint, "/mnt/my disk");
    EXPECT_EQ(entries[2].majMin, "0:21");
}

TEST(MountInfo, VolumesAreLetteredByDrivePartitionAndMountPoint)
{
    const std::vector<std::string> disks = {"sda", "sdb", "sdc"};
    const std::map<std::string, BlockDeviceFacts> facts = {
        {"8:1", {true, {"sda"}, 1}},          // system partition
        {"8:34", {true, {"sdc"}, 2}},
        {"8:33", {true, {"sdc"}, 1}},
        {"8:16", {true, {"sdb"}, 0}},          // unpartitioned disk
        {"253:0", {true, {"sdb", "sdc"}, 0}},  // spans two disks
        {"7:0", {true, {"loop0"}, 0}},         // not a physical drive
    };
    const std::vector<MountEntry> mounts = {
        {"0:21", "/proc"}, {"8:34", "/mnt/z"}, {"253:0", "/srv"}, {"8:1", "/"},  {"8:33", "/mnt/b"},
        {"8:16", "/data"}, {"7:0", "/snap"},   {"8:33", "/mnt/a"}, {"8:1", "/home/bind"},
    };
    const auto volumes = letterVolumes(mounts, disks, [&](const std::string& majMin) {
        auto found = facts.find(majMin);
        return found == facts.end() ? BlockDeviceFacts{} : found->second;
    });

    struct Expected { char letter; const char* majMin; const char* mountPoint; int disk; };
    const Expected expected[] = {
        {'C', "8:1", "/", 0},       {'D', "8:16", "/data", 1}, {'E', "8:33", "/mnt/a", 2},
        {'F', "8:34", "/mnt/z", 2}, {'G', "7:0", "/snap", -1},  {'H', "253:0", "/srv", -1},
    };
    ASSERT_EQ(volumes.size(), std::size(expected));
    for (size_t i = 0; i < volumes.size(); ++i) {
        EXPECT_EQ(volumes[i].letter, expected[i].letter) << i;
        EXPECT_EQ(volumes[i].majMin, expected[i].majMin) << i;
        EXPECT_EQ(volumes[i].mountPoint, expected[i].mountPoint) << i;
        EXPECT_EQ(volumes[i].diskNumber, expected[i].disk) << i;
    }
}

TEST(MountInfo, NoMoreThanTwentyFourLetters)
{
    std::vector<MountEntry> mounts;
    std::vector<std::string> disks = {"sda"};
    for (int i = 1; i <= 30; ++i)
        mounts.push_back({"8:" + std::to_string(i), "/m" + std::to_string(100 + i)});
    const auto volumes = letterVolumes(mounts, disks, [](const std::string& majMin) {
        return BlockDeviceFacts{true, {"sda"}, std::stoi(majMin.substr(2))};
    });
    ASSERT_EQ(volumes.size(), 24u);
    EXPECT_EQ(volumes.front().letter, 'C');
    EXPECT_EQ(volumes.back().letter, 'Z');
    EXPECT_EQ(volumes.back().partition, 24);
}

}  // namespace
