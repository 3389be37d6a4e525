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
    for (PresentDisk& numbered : disks_) {
        const bool present =
            std::any_of(disks.begin(), disks.end(), [&](const PresentDisk& disk) { return same(disk, numbered); });
        if (!present)
            numbered = PresentDisk{};
    }
    for (const auto& disk : disks) {
        if (std::any_of(disks_.begin(), disks_.end(), [&](const PresentDisk& numbered) { return same(disk, numbered); }))
            continue;
        const auto free = std::find_if(disks_.begin(), disks_.end(),
                                       [](const PresentDisk& numbered) { return numbered.name.empty(); });
        if (free != disks_.end())
            *free = disk;
        else
            disks_.push_back(disk);
    }
}

int DriveNumbering::numberOf(const std::string& name) const
{
    const auto found = std::find_if(disks_.begin(), disks_.end(),
                                    [&](const PresentDisk& numbered) { return numbered.name == name; });
    return found == disks_.end() || name.empty() ? -1 : static_cast<int>(found - disks_.begin());
}

std::string DriveNumbering::diskOf(int number) const
{
    return number >= 0 && number < static_cast<int>(disks_.size()) ? disks_[number].name : std::string();
}
