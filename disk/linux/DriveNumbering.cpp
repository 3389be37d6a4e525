#include "disk/linux/DriveNumbering.h"

#include <algorithm>

namespace {

bool same(const PresentDisk& a, const PresentDisk& b)
{
    return a.name == b.name && a.sequence == b.sequence;
}

}  // namespace

void DriveNumbering::update(const std::vector<PresentDisk>& disks)
{
    for (auto numbered = disks_.begin(); numbered != disks_.end();) {
        const bool present = std::any_of(disks.begin(), disks.end(),
                                         [&](const PresentDisk& disk) { return same(disk, numbered->second); });
        numbered = present ? std::next(numbered) : disks_.erase(numbered);
    }
    int candidate = 0;
    for (const auto& disk : disks) {
        const bool known = std::any_of(disks_.begin(), disks_.end(),
                                       [&](const auto& numbered) { return same(disk, numbered.second); });
        if (known)
            continue;
        while (disks_.count(candidate))
            ++candidate;
        disks_.emplace(candidate, disk);
    }
}

int DriveNumbering::numberOf(const std::string& name) const
{
    for (const auto& [number, disk] : disks_)
        if (disk.name == name)
            return number;
    return -1;
}

std::string DriveNumbering::diskOf(int number) const
{
    const auto found = disks_.find(number);
    return found == disks_.end() ? std::string() : found->second.name;
}
