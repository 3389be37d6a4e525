#pragma once
// Drive numbers that stay with a disk for as long as it is present: at the
// first look the disks are numbered 0, 1, 2, ... in natural name order;
// later a disk that was there keeps its number and a new one takes the
// lowest free number. A disk is known by its kernel name and its disk
// sequence number, so a disk that left and another that came under the same
// name between two looks are two disks.

#include <cstdint>
#include <string>
#include <vector>

struct PresentDisk {
    std::string name;       // "sdb"
    uint64_t sequence = 0;  // 0 where the kernel has none
};

class DriveNumbering {
public:
    // The disks present now, in natural name order.
    void update(const std::vector<PresentDisk>& disks);
    // -1 for a disk without a number.
    int numberOf(const std::string& name) const;
    // Empty for a number without a disk.
    std::string diskOf(int number) const;

private:
    // Indexed by drive number; a free number holds a disk without a name.
    std::vector<PresentDisk> disks_;
};
