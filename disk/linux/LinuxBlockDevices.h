#pragma once
// What sysfs tells about block devices: the whole disks that count as
// physical drives, their order, and the disk beneath a partition or a
// device-mapper / md device.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// sd*, hd*, vd*, nvme*n*, mmcblk*: whole disks, never loop, ram, zram, dm, md or sr.
bool isPhysicalDiskName(const std::string& name);
// Natural name order: sda < sdb < ... < sdz < sdaa; nvme0n2 < nvme0n10.
bool naturalNameLess(const std::string& a, const std::string& b);
// Bus type from a resolved sysfs device path: usb 7, ata 11, nvme 17, else 0.
uint32_t busTypeFromSysfsPath(const std::string& devicePath);

class LinuxBlockDevices {
public:
    explicit LinuxBlockDevices(std::string sysRoot = "/sys");

    // The physical drives in the order of their numbers.
    std::vector<std::string> physicalDisks() const;
    // The device "MAJ:MIN", when sysfs knows it as a block device.
    bool exists(const std::string& majMin) const;
    // Kernel name of a block device ("sda1", "dm-0").
    std::string name(const std::string& majMin) const;
    // The /dev node name of a block device ("sda1", "mapper/..." is not used: "dm-0").
    std::string devName(const std::string& majMin) const;
    // The whole disks beneath a device: itself for a disk, the parent of a
    // partition, the disks under a dm or md device (one or several).
    std::vector<std::string> wholeDisks(const std::string& majMin) const;
    // Partition number, 0 for a whole device.
    int partitionNumber(const std::string& majMin) const;
    bool removable(const std::string& disk) const;
    // Resolved sysfs path of a disk, for its bus type.
    std::string devicePath(const std::string& disk) const;

private:
    std::string classDir(const std::string& name) const;
    std::string devDir(const std::string& majMin) const;
    void collectWholeDisks(const std::string& dir, std::vector<std::string>& disks, int depth) const;

    std::string sysRoot_;
};

std::string majMinText(uint64_t rdev);
