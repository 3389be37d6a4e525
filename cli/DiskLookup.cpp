#include "cli/DiskLookup.h"

#include "disk/DevicePath.h"
#include "disk/DiskIdentity.h"
#include "disk/StorageBackend.h"

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

void reportAbsent(int diskNum, DiskListStatus status)
{
    reportEmpty(status);
    if (status == DiskListStatus::Listed)
        std::fprintf(stderr, "quillfence-cli: physical drive %d is not in the disk list\n", diskNum);
}

std::optional<std::string> systemName(const std::string& path)
{
    std::string name;
    if (!storage().systemName(path, name))
        return std::nullopt;
    return name;
}

// A listed drive read as the options say, and named.
DriveReading readListed(const PhyDiskInfo& listed, const ReadOptions& options)
{
    DriveReading drive;
    drive.disk = listed;
    if (options.noCheckStandby) {
        const StandbyCheck check = ReadIdentityUnlessStandby(drive.disk);
        drive.powerMode = check.mode;
        drive.skipped = check.skipped;
    } else {
        ReadDiskIdentity(drive.disk);
    }
    drive.device = systemName(physicalDrivePath(listed.diskNum));
    uint32_t busType = 0;
    if (GetBusType(listed.diskNum, busType))
        drive.busType = busType;
    for (int k = 0; k < listed.partCount; ++k)
        drive.mountPoints.push_back(systemName(rootPath(listed.partLetter[k])));
    return drive;
}

}  // namespace

DiskListStatus readDrives(const ReadOptions& options, std::vector<DriveReading>& drives)
{
    std::vector<PhyDiskInfo> list(kMaxDisks, PhyDiskInfo{});
    int diskCount = 0;
    const DiskListStatus status = ReadDiskList(diskCount, list.data(), options.includeSystemDisk);
    drives.clear();
    for (int i = 0; i < diskCount; ++i)
        drives.push_back(readListed(list[i], options));
    reportEmpty(status);
    return status;
}

std::optional<DriveReading> readDrive(int diskNum, const ReadOptions& options)
{
    PhyDiskInfo listed{};
    bool found = false;
    const DiskListStatus status = ListOneDisk(diskNum, options.includeSystemDisk, listed, found);
    if (!found) {
        reportAbsent(diskNum, status);
        return std::nullopt;
    }
    return readListed(listed, options);
}

std::optional<PhyDiskInfo> readDiskToUpdate(int diskNum)
{
    PhyDiskInfo disk{};
    bool found = false;
    // The system disk is looked at, so that it is refused by name.
    const DiskListStatus status = ListOneDisk(diskNum, true, disk, found);
    if (!found) {
        reportAbsent(diskNum, status);
        return std::nullopt;
    }
    if (disk.isSystemDisk) {
        std::fprintf(stderr, "quillfence-cli: physical drive %d holds the system: its firmware is not updated\n",
                     diskNum);
        return std::nullopt;
    }
    ReadDiskIdentity(disk);
    if (disk.busy) {
        std::fprintf(stderr, "quillfence-cli: physical drive %d is %s\n", diskNum, kBusyText);
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
