// quillfence-vm-lockprobe: a firmware update's writer's lock held while the
// machine changes under it. Reads the disk list, takes the writer's lock of
// drive N for the device read there (as a transfer does), runs a shell
// command (one that replaces the disk, say), reads the list again, and then
// sends drive N one DOWNLOAD MICROCODE piece the way a transfer sends each
// of its commands: to the device that was read. Prints one line each:
//
//   locked SERIAL
//   listed again: N:SERIAL ...
//   download not sent | download sent | download failed
//
// Usage: quillfence-vm-lockprobe N 'shell command'

#include "disk/DevicePath.h"
#include "disk/DiskIdentity.h"
#include "disk/DiskList.h"
#include "disk/DriveWriteLock.h"
#include "disk/PassThrough.h"
#include "disk/StorageBackend.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<PhyDiskInfo> readList()
{
    int count = 0;
    std::vector<PhyDiskInfo> disks(kMaxDisks);
    ReadDiskList(count, disks.data());
    disks.resize(count);
    for (auto& disk : disks)
        ReadDiskIdentity(disk);
    return disks;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s N 'shell command'\n", argv[0]);
        return 2;
    }
    const int diskNum = std::atoi(argv[1]);
    selectStorageFromEnvironment();
    const PhyDiskInfo* chosen = nullptr;
    const std::vector<PhyDiskInfo> before = readList();
    for (const auto& disk : before)
        if (disk.diskNum == diskNum)
            chosen = &disk;
    if (!chosen) {
        std::fprintf(stderr, "drive %d is not listed\n", diskNum);
        return 1;
    }
    const DriveWriteLock writer(diskNum, chosen->device);
    if (writer.state() != DriveWriteLock::State::Held) {
        std::fprintf(stderr, "the writer's lock of drive %d was not had\n", diskNum);
        return 1;
    }
    std::printf("locked %s\n", chosen->serialNumber);
    std::fflush(stdout);
    if (std::system(argv[2]) != 0) {
        std::fprintf(stderr, "the command failed\n");
        return 1;
    }
    std::string listed = "listed again:";
    for (const auto& disk : readList())
        listed += " " + std::to_string(disk.diskNum) + ":" + disk.serialNumber;
    std::printf("%s\n", listed.c_str());

    const uint8_t piece[8] = {0x03, 0x08, 0x00, 0x00, 0x00, 0x00, 0x92, 0x00};
    std::vector<uint8_t> data(8 * kSectorSize, 0x5A);
    CommandFailure failure = CommandFailure::None;
    AtaPassThroughOut(physicalDrivePath(diskNum), piece, data.data(), 8, &writer.device(), &failure);
    std::printf("download %s\n", failure == CommandFailure::NotSent || failure == CommandFailure::Busy ? "not sent"
                                 : failure == CommandFailure::None                                      ? "sent"
                                                                                                         : "failed");
    return 0;
}
