#include "disk/DiskList.h"

#include "disk/DevicePath.h"
#include "disk/Partitions.h"
#include "disk/StorageBackend.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr int kProbedDrives = 26;  // PHYSICALDRIVE0 .. PHYSICALDRIVE25

// Opens a drive for one request and closes it again; false when it cannot be opened.
bool driveOpens(StorageControl& sc, const std::string& path)
{
    const DeviceHandle handle = sc.open(path, AccessMode::ReadWrite);
    if (handle == kInvalidHandle)
        return false;
    sc.close(handle);
    return true;
}

bool diskLength(StorageControl& sc, const std::string& path, int64_t& bytes)
{
    const DeviceHandle handle = sc.open(path, AccessMode::ReadWrite);
    if (handle == kInvalidHandle)
        return false;
    const bool ok = sc.queryDiskLength(handle, bytes);
    sc.close(handle);
    return ok;
}
}  // namespace

bool GetPhyDiskList(bool includeSystemDisk, int& diskCount, PhyDiskInfo* diskList)
{
    StorageControl& sc = storage();
    diskCount = 0;
    int found = 0;

    std::string systemDirectory;
    if (!sc.systemDirectory(systemDirectory) || systemDirectory.empty()) {
        std::fprintf(stderr, "GetSystemDirectory() Error: %ld\n", static_cast<long>(sc.lastError()));
        return false;
    }
    const int sysDisk = GetDiskNumOfVolume(systemDirectory[0]);
    if (sysDisk == -1)
        return false;

    for (int n = 0; n < kProbedDrives; ++n) {
        const std::string path = physicalDrivePath(n);
        if (!driveOpens(sc, path))
            continue;
        if (!includeSystemDisk && n == sysDisk)
            continue;
        int64_t length = 0;
        if (!diskLength(sc, path, length))
            continue;
        PhyDiskInfo& slot = diskList[found];
        slot.diskNum = n;
        slot.isSystemDisk = n == sysDisk ? 1 : 0;
        slot.capacity = bytesToGB(static_cast<double>(length));
        if (++found == kMaxDisks)
            break;
    }
    diskCount = found;
    return true;
}

bool GetBusType(int diskNum, uint32_t& busType)
{
    StorageControl& sc = storage();
    const DeviceHandle handle = sc.open(physicalDrivePath(diskNum), AccessMode::QueryOnly);
    if (handle == kInvalidHandle)
        return false;
    uint32_t answer = 0;
    const bool ok = sc.queryBusType(handle, answer);
    sc.close(handle);
    if (!ok)
        return false;
    busType = answer;
    return true;
}

bool ReadDiskList(int& diskCount, PhyDiskInfo* diskList)
{
    diskCount = 0;
    std::memset(diskList, 0, sizeof(PhyDiskInfo) * kMaxDisks);
    if (!GetPhyDiskList(false, diskCount, diskList))
        return false;
    GetPartitionInfo(diskCount, diskList);
    return true;
}
