#pragma once
// The lettered volumes of a Linux machine: the mounted block-device
// filesystems of mountinfo, each lettered "C", "D", ... in the order of
// (drive number, partition number, mount point).

#include <functional>
#include <string>
#include <vector>

struct MountEntry {
    std::string majMin;      // third field of mountinfo
    std::string mountPoint;  // unescaped
};

// The entries of a mountinfo text; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(const std::string& text);

// What lettering needs to know of the device behind a mount.
struct BlockDeviceFacts {
    bool isBlockDevice = false;
    std::vector<std::string> wholeDisks;  // one, or several for a spanned device
    int partition = 0;
};

struct LinuxVolume {
    char letter = 0;
    std::string majMin;
    std::string mountPoint;
    int diskNumber = -1;  // -1: on no physical drive, or on several
    int partition = 0;
    std::string wholeDisk;  // the one disk beneath it, when there is one
};

// Letters the block-device mounts of `entries`. A device mounted several times
// counts once, at the first of its mount points in name order. Drive numbers
// are indexes into `physicalDisks`. Volumes on no drive come last. At most 24
// volumes get letters (C to Z).
std::vector<LinuxVolume> letterVolumes(const std::vector<MountEntry>& entries,
                                       const std::vector<std::string>& physicalDisks,
                                       const std::function<BlockDeviceFacts(const std::string&)>& factsOf);
