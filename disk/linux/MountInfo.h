#pragma once
// The lines of /proc/self/mountinfo:
//
//   36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 - ext3 /dev/root rw,errors=continue
//   id parent MAJ:MIN root mount-point options optional-fields... - type source super-options

#include <string>
#include <vector>

struct MountEntry {
    std::string majMin;        // the third field; "0:N" for btrfs, overlay, fuse and the like
    std::string root;          // the folder of the file system mounted here
    std::string mountPoint;    // unescaped
    std::string type;          // "ext4", "btrfs", ...
    std::string source;        // unescaped: "/dev/sda2", "overlay", ...
    std::string superOptions;  // unescaped
};

// The entries of a mountinfo text, in its order; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(const std::string& text);

// A field with the kernel's \ooo escapes of space, tab, newline and
// backslash undone; anything that is no such escape stays as it is.
std::string unescapeMountField(const std::string& field);
