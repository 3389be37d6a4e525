// quillfence-vm-helper-probe: asks a helper in its read mode for a DOWNLOAD
// MICROCODE to physical drive N, as a client that was never authorised to
// update firmware might, then for an IDENTIFY DEVICE. Prints one line each:
//
//   download refused
//   identify accepted
//
// Usage: quillfence-vm-helper-probe /path/to/quillfence-helper N

#include "disk/DevicePath.h"
#include "disk/IdentityCommands.h"
#include "disk/helper/HelperProtocol.h"
#include "disk/helper/HelperStorage.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s /path/to/quillfence-helper N\n", argv[0]);
        return 2;
    }
    HelperStorage helper(HelperStorage::launching({}, argv[1]));
    helper.beginEnumeration();
    const DeviceHandle drive = helper.open(physicalDrivePath(std::atoi(argv[2])), AccessMode::ReadWriteNoBuffering);
    if (drive == kInvalidHandle) {
        std::fprintf(stderr, "the drive cannot be opened\n");
        return 1;
    }
    uint8_t sector[512] = {};
    AtaTaskFile returned{};
    const AtaTaskFile download = {0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x92, 0x00};
    const bool sent = helper.ataCommand(drive, download, sector, sizeof sector, DataDirection::Out, 10, returned);
    std::printf("download %s\n", sent ? "accepted" : "refused");
    AtaTaskFile identify{};
    std::copy(std::begin(kIdentifyDevice.taskFile), std::end(kIdentifyDevice.taskFile), identify.begin());
    const bool read = helper.ataCommand(drive, identify, sector, sizeof sector, DataDirection::In, 3, returned);
    std::printf("identify %s\n", read && !(returned[kReturnedStatus] & 1) ? "accepted" : "refused");
    helper.close(drive);
    return 0;
}
