#include "cli/DiskLookup.h"

#include "disk/DiskIdentity.h"
#include "disk/DiskList.h"

#include <cstdio>
#include <string>

bool readDisks(int& diskCount, std::vector<PhyDiskInfo>& diskList)
{
    diskList.assign(kMaxDisks, PhyDiskInfo{});
    const bool listed = ReadDiskList(diskCount, diskList.data());
    for (int i = 0; i < diskCount; ++i)
        ReadDiskIdentity(diskList[i]);
    return listed;
}

std::optional<PhyDiskInfo> readDisk(int diskNum)
{
    int diskCount = 0;
    std::vector<PhyDiskInfo> diskList;
    readDisks(diskCount, diskList);
    for (int i = 0; i < diskCount; ++i) {
        if (diskList[i].diskNum != diskNum)
            continue;
        if (!diskList[i].valid) {
            std::fprintf(stderr, "quillfence-cli: the identity of physical drive %d could not be read\n", diskNum);
            return std::nullopt;
        }
        return diskList[i];
    }
    std::fprintf(stderr, "quillfence-cli: physical drive %d is not in the disk list\n", diskNum);
    return std::nullopt;
}

std::optional<int> parseDiskNumber(const std::string& text)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(text);
}
