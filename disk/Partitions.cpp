#include "disk/Partitions.h"

#include "disk/DevicePath.h"
#include "disk/DiskDiagnostics.h"
#include "disk/StorageBackend.h"

namespace {
constexpr int kLetters = 26;
constexpr int kClearedRecords = 26;  // one per probed drive number
}

int GetDiskNumOfVolume(char letter)
{
    StorageControl& sc = storage();
    const DeviceHandle handle = sc.open(volumePath(letter), AccessMode::ReadWrite);
    if (handle == kInvalidHandle) {
        reportVolumeNotOpened(sc, letter);
        return -1;
    }
    uint32_t deviceNumber = 0;
    if (!sc.queryDeviceNumber(handle, deviceNumber)) {
        reportVolumeWithoutDrive(sc, letter);
        sc.close(handle);
        return -1;
    }
    sc.close(handle);
    return static_cast<int>(deviceNumber);
}

int GetPartitionInfo(int diskCount, PhyDiskInfo* diskList)
{
    StorageControl& sc = storage();
    // Partitions assigned so far, per slot of the list.
    uint8_t assigned[kMaxDisks] = {};
    for (int i = 0; i < kClearedRecords; ++i)
        diskList[i].partCount = 0;

    const uint32_t mask = sc.logicalDrives();
    int fixedSeen = 0;
    for (int bit = 0; bit < kLetters && (mask >> bit) != 0; ++bit) {
        if (!(mask & (1u << bit)))
            continue;
        const char letter = static_cast<char>('A' + bit);
        const std::string root = rootPath(letter);
        if (sc.driveType(root) != DriveType::Fixed)
            continue;
        if (fixedSeen == kMaxPartitions)
            break;
        ++fixedSeen;

        // The disk first: a volume on a disk outside the list (the system
        // disk's, or another drive's when one drive is read alone) is not
        // asked for its space.
        const int diskNum = GetDiskNumOfVolume(letter);
        int slot = -1;
        for (int j = 0; j < diskCount; ++j) {
            if (diskList[j].diskNum == diskNum) {
                slot = j;
                break;
            }
        }
        if (slot < 0)
            continue;
        VolumeSpace space;
        if (!sc.diskFreeSpace(root, space))
            continue;

        PhyDiskInfo& disk = diskList[slot];
        const int k = assigned[slot];
        disk.partLetter[k] = letter;
        disk.partTotal[k] = bytesToGB(static_cast<double>(space.total));
        disk.partFree[k] = bytesToGB(static_cast<double>(space.availableToCaller));
        assigned[slot] = static_cast<uint8_t>(k + 1);
        disk.partCount = static_cast<uint8_t>(k + 1);
    }
    return 0;
}
