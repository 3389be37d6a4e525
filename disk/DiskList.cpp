#include "disk/DiskList.h"

#include "disk/DevicePath.h"
#include "disk/DiskDiagnostics.h"
#include "disk/DiskIdentity.h"
#include "disk/Partitions.h"
#include "disk/StorageBackend.h"

#include <cstring>
#include <vector>

namespace {

// The system disk's number, or -1 (with the diagnostic) when it cannot be
// determined.
int systemDisk(StorageControl& sc)
{
    std::string systemDirectory;
    if (!sc.systemDirectory(systemDirectory) || systemDirectory.empty()) {
        reportNoSystemDirectory(sc);
        return -1;
    }
    return GetDiskNumOfVolume(systemDirectory[0]);
}

// Opens a drive for one request and closes it again; false when it cannot be
// opened, counted in the report when rights were lacking.
bool driveOpens(StorageControl& sc, const std::string& path, bool counted, ProbeReport* report)
{
    const DeviceHandle handle = sc.open(path, AccessMode::ReadWrite);
    if (handle == kInvalidHandle) {
        if (report && counted && sc.lastFailure() == Failure::AccessDenied)
            ++report->accessDenied;
        return false;
    }
    sc.close(handle);
    return true;
}

// The length of the whole disk and the device it is, from one opening.
bool diskLength(StorageControl& sc, const std::string& path, int64_t& bytes, DeviceIdentity& device)
{
    const DeviceHandle handle = sc.open(path, AccessMode::ReadWrite);
    if (handle == kInvalidHandle)
        return false;
    const bool ok = sc.queryDiskLength(handle, bytes);
    if (ok && !sc.queryDeviceIdentity(handle, device))
        device = {};
    sc.close(handle);
    return ok;
}

// Probes drive n as the enumeration does; true with the slot filled when it
// belongs in the list.
bool probeDrive(StorageControl& sc, int n, bool includeSystemDisk, int sysDisk, PhyDiskInfo& slot,
                ProbeReport* report)
{
    const std::string path = physicalDrivePath(n);
    const bool listable = includeSystemDisk || n != sysDisk;
    if (!driveOpens(sc, path, listable, report) || !listable)
        return false;
    int64_t length = 0;
    DeviceIdentity device{};
    if (!diskLength(sc, path, length, device))
        return false;
    slot.diskNum = n;
    slot.isSystemDisk = n == sysDisk ? 1 : 0;
    slot.capacity = bytesToGB(static_cast<double>(length));
    slot.device = device;
    return true;
}

DiskListStatus statusOf(bool listed, int diskCount, const ProbeReport& report)
{
    if (report.notAuthorised)
        return DiskListStatus::NotAuthorised;
    if (!listed)
        return DiskListStatus::NoSystemDisk;
    if (diskCount == 0 && report.accessDenied > 0)
        return DiskListStatus::NoAccess;
    return DiskListStatus::Listed;
}
}  // namespace

bool GetPhyDiskList(bool includeSystemDisk, int& diskCount, PhyDiskInfo* diskList, ProbeReport* report)
{
    StorageControl& sc = storage();
    sc.beginEnumeration();
    diskCount = 0;
    const int sysDisk = systemDisk(sc);
    if (sysDisk == -1) {
        if (report)
            report->notAuthorised = sc.lastFailure() == Failure::NotAuthorised;
        return false;
    }

    int found = 0;
    for (int n = 0; n < kProbedDrives && found < kMaxDisks; ++n)
        if (probeDrive(sc, n, includeSystemDisk, sysDisk, diskList[found], report))
            ++found;
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

DiskListStatus ReadDiskList(int& diskCount, PhyDiskInfo* diskList, bool includeSystemDisk)
{
    diskCount = 0;
    std::memset(diskList, 0, sizeof(PhyDiskInfo) * kMaxDisks);
    ProbeReport report;
    const bool listed = GetPhyDiskList(includeSystemDisk, diskCount, diskList, &report);
    if (listed)
        GetPartitionInfo(diskCount, diskList);
    return statusOf(listed, diskCount, report);
}

DiskListStatus ListOneDisk(int diskNum, bool includeSystemDisk, PhyDiskInfo& disk, bool& found)
{
    StorageControl& sc = storage();
    sc.beginEnumeration();
    std::memset(&disk, 0, sizeof disk);
    found = false;
    ProbeReport report;
    const int sysDisk = systemDisk(sc);
    if (sysDisk == -1) {
        report.notAuthorised = sc.lastFailure() == Failure::NotAuthorised;
        return statusOf(false, 0, report);
    }
    if (diskNum >= 0 && diskNum < kProbedDrives)
        found = probeDrive(sc, diskNum, includeSystemDisk, sysDisk, disk, &report);
    if (!found)
        return statusOf(true, 0, report);
    // The partition walk works on a whole list.
    std::vector<PhyDiskInfo> list(kMaxDisks, PhyDiskInfo{});
    list[0] = disk;
    GetPartitionInfo(1, list.data());
    disk = list[0];
    return DiskListStatus::Listed;
}

DiskListStatus ReadOneDisk(int diskNum, bool includeSystemDisk, PhyDiskInfo& disk, bool& found)
{
    const DiskListStatus status = ListOneDisk(diskNum, includeSystemDisk, disk, found);
    if (found)
        ReadDiskIdentity(disk);
    return status;
}
