#include "cli/DiskLookup.h"

#include "disk/DiskIdentity.h"

#include <cstdio>
#include <string>

namespace {

void reportEmpty(DiskListStatus status)
{
    if (status == DiskListStatus::NoSystemDisk)
        std::fprintf(stderr, "quillfence-cli: the system disk could not be determined, so no disk is listed\n");
    else if (status == DiskListStatus::NoAccess)
        std::fprintf(stderr, "quillfence-cli: no drive could be opened: reading drives needs administrator "
                             "rights (run as root)\n");
    else if (status == DiskListStatus::NotAuthorised)
        std::fprintf(stderr, "quillfence-cli: reading drives needs the administrator's password: the "
                             "authorisation was refused or cancelled\n");
}

}  // namespace

DiskListStatus readDisks(int& diskCount, std::vector<PhyDiskInfo>& diskList)
{
    diskList.assign(kMaxDisks, PhyDiskInfo{});
    const DiskListStatus status = ReadDiskList(diskCount, diskList.data());
    for (int i = 0; i < diskCount; ++i)
        ReadDiskIdentity(diskList[i]);
    reportEmpty(status);
    return status;
}

std::optional<PhyDiskInfo> readDisk(int diskNum)
{
    PhyDiskInfo disk{};
    bool found = false;
    const DiskListStatus status = ReadOneDisk(diskNum, false, disk, found);
    if (!found) {
        reportEmpty(status);
        if (status == DiskListStatus::Listed)
            std::fprintf(stderr, "quillfence-cli: physical drive %d is not in the disk list\n", diskNum);
        return std::nullopt;
    }
    if (!disk.valid) {
        std::fprintf(stderr, "quillfence-cli: the identity of physical drive %d could not be read\n", diskNum);
        return std::nullopt;
    }
    return disk;
}

std::optional<int> parseDiskNumber(const std::string& text)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(text);
}
