#pragma once
// The block devices of a Linux machine as sysfs tells them, read in one pass:
// which are whole disks that count as physical drives, the disk beneath a
// partition, the devices beneath a device-mapper or md device.

#include "disk/linux/MachineReader.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// sd*, hd*, vd*, nvme*n*, mmcblk*: whole disks, never loop, ram, zram, dm, md or sr.
bool isPhysicalDiskName(const std::string& name);
// Natural name order: sda < sdb < ... < sdz < sdaa; nvme0n2 < nvme0n10.
bool naturalNameLess(const std::string& a, const std::string& b);
// Bus type from a device's sysfs path: usb 7, ata 11, nvme 17, else 0.
uint32_t busTypeFromSysfsPath(const std::string& devicePath);
// "MAJ:MIN" of a device number.
std::string majMinText(uint64_t rdev);

struct BlockDevice {
    std::string name;    // kernel name: "sda", "sda1", "dm-0"
    std::string majMin;  // "8:1"
    std::string path;    // its folder, "/sys/devices/.../block/sda/sda1"
    std::string disk;    // for a partition: the device it is a partition of
    std::vector<std::string> slaves;  // the devices beneath a dm or md device
    std::string mapperName;           // a device-mapper device's name in /dev/mapper
    uint64_t sequence = 0;  // a physical drive's disk sequence number; 0 where the kernel has none
    // Read only for the devices beneath a volume (readVolumeDetails):
    int partition = 0;       // a partition's number; 0 for a whole device
    bool removable = false;  // a physical drive's removable flag
};

class BlockDevices {
public:
    // Every block device of /sys/dev/block: one listing, one link per
    // device, and what each kind needs for the drives' numbers and the
    // disks beneath a mount.
    static BlockDevices read(const MachineReader& reader);
    // The partition numbers and removable flags that lettering and drive
    // types need, of the devices beneath volumes (`devices`) and their disks.
    void readVolumeDetails(const MachineReader& reader, const std::vector<std::string>& devices);
    // From records (tests).
    explicit BlockDevices(std::vector<BlockDevice> devices = {});

    const BlockDevice* byName(const std::string& name) const;
    const BlockDevice* byMajMin(const std::string& majMin) const;
    const BlockDevice* byMapperName(const std::string& mapperName) const;
    // The whole disks that can be physical drives, in natural name order.
    std::vector<std::string> physicalDisks() const;
    // The whole devices beneath a device: itself for a whole device, the
    // disk of a partition, the disks under a dm or md device (one or
    // several), in natural name order.
    std::vector<std::string> wholeDisks(const std::string& name) const;

private:
    void collectWholeDisks(const std::string& name, std::vector<std::string>& disks, int depth) const;

    std::vector<BlockDevice> devices_;
    std::map<std::string, size_t> byName_;
    std::map<std::string, size_t> byMajMin_;
};
