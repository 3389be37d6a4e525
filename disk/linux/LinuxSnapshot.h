#pragma once
// One look at a Linux machine, taken when an enumeration starts and used for
// every lookup in it: the block devices, the lettered volumes and the system
// volume, all from one reading of sysfs and mountinfo, so they cannot change
// under a refresh.

#include "disk/linux/DriveNumbering.h"
#include "disk/linux/LinuxBlockDevices.h"
#include "disk/linux/LinuxVolumes.h"
#include "disk/linux/MachineReader.h"

#include <optional>
#include <vector>

struct LinuxSnapshot {
    BlockDevices blocks;
    std::vector<LinuxVolume> volumes;
    // The volume that holds "/", found from mountinfo and sysfs alone.
    std::optional<char> systemLetter;

    const LinuxVolume* volume(char letter) const;
};

// Reads the machine once and numbers its disks with `numbering`, which
// keeps the numbers of the disks it saw before.
LinuxSnapshot takeSnapshot(const MachineReader& reader, DriveNumbering& numbering);
