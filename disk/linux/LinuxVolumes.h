#pragma once
// The lettered volumes of a Linux machine: the mounted file systems that lie
// on block devices, each lettered "C", "D", ... in the order of (drive
// number, partition number, mount point).
//
// A mount is matched to its devices through its MAJ:MIN where that names a
// block device, otherwise through its source: btrfs, bcachefs, fuseblk and
// overlay mounts carry an anonymous "0:N".

#include "disk/linux/LinuxBlockDevices.h"
#include "disk/linux/MountInfo.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Block device name -> every member device of the btrfs file system on it.
using BtrfsMembers = std::map<std::string, std::vector<std::string>>;

// The members of each btrfs file system the kernel knows (/sys/fs/btrfs).
BtrfsMembers readBtrfsMembers(const MachineReader& reader);

// A mount and the block devices its file system lies on.
struct MountedFilesystem {
    std::string mountPoint;
    std::vector<std::string> devices;  // sorted; empty when it lies on none
};

// Reads the target of a link below /dev ("/dev/disk/by-uuid/x"); nothing
// when the path is no link.
using DevLinkReader = std::function<std::optional<std::string>(const std::string&)>;

// Each mount with its devices: the one its MAJ:MIN names; else those its
// source names ("/dev/sda2", "/dev/mapper/x", a link below /dev, several
// joined by ":"); a btrfs file system with all its members; an overlay with
// the devices of the mount that holds its upper folder.
std::vector<MountedFilesystem> resolveMounts(const std::vector<MountEntry>& mounts, const BlockDevices& blocks,
                                             const BtrfsMembers& btrfs, const DevLinkReader& readDevLink);

struct LinuxVolume {
    char letter = 0;
    std::vector<std::string> devices;  // the block devices beneath it
    std::string mountPoint;
    int diskNumber = -1;  // -1: on no physical drive, or on several
    int partition = 0;
    std::string wholeDisk;  // the one disk beneath it, when there is one
};

// Letters the file systems that lie on block devices. The mounts of one
// file system (bind mounts, btrfs subvolumes) are one volume, at the first
// of its mount points in name order. `numberOf` gives a whole disk's drive
// number, or -1. Volumes on no drive come last. At most 24 volumes get
// letters (C to Z).
std::vector<LinuxVolume> letterVolumes(const std::vector<MountedFilesystem>& filesystems, const BlockDevices& blocks,
                                       const std::function<int(const std::string&)>& numberOf);
