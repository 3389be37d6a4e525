#include "disk/DevicePath.h"

#include <gtest/gtest.h>

TEST(DevicePath, FormatsTheWindowsNames)
{
    EXPECT_EQ(physicalDrivePath(12), "\\\\.\\PHYSICALDRIVE12");
    EXPECT_EQ(volumePath('D'), "\\\\.\\D:");
    EXPECT_EQ(rootPath('D'), "D:\\");
}

TEST(DevicePath, ParsesWhatItFormatsAndRejectsTheRest)
{
    const auto drive = parseDevicePath(physicalDrivePath(25));
    ASSERT_TRUE(drive);
    EXPECT_EQ(drive->kind, DeviceName::Kind::PhysicalDrive);
    EXPECT_EQ(drive->diskNum, 25);

    const auto volume = parseDevicePath("\\\\.\\e:");
    ASSERT_TRUE(volume);
    EXPECT_EQ(volume->kind, DeviceName::Kind::Volume);
    EXPECT_EQ(volume->letter, 'E');

    for (const char* bad : {"", "PHYSICALDRIVE1", "\\\\.\\PHYSICALDRIVE", "\\\\.\\PHYSICALDRIVE-1",
                            "\\\\.\\PHYSICALDRIVE1x", "\\\\.\\1:", "\\\\.\\C:\\", "/dev/sda"})
        EXPECT_FALSE(parseDevicePath(bad)) << bad;

    EXPECT_EQ(parseRootPath("c:\\"), 'C');
    EXPECT_EQ(parseRootPath("C:"), 'C');
    EXPECT_FALSE(parseRootPath("C:\\Windows"));
    EXPECT_FALSE(parseRootPath("\\\\.\\C:"));
}
