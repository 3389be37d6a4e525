// Lists the drives twice in one process, running a shell command between
// the two lists, and prints each list as one line "number:serial ...".
// The VM tests use it to see which numbers the drives keep when the machine
// changes under a running program (a disk removed, another attached).
//
// Usage: quillfence-vm-relist 'shell command'

#include "disk/DiskIdentity.h"
#include "disk/DiskList.h"
#include "disk/StorageBackend.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void printList()
{
    int count = 0;
    std::vector<PhyDiskInfo> disks(kMaxDisks);
    ReadDiskList(count, disks.data());
    for (int i = 0; i < count; ++i) {
        ReadDiskIdentity(disks[i]);
        std::printf("%s%d:%s", i ? " " : "", disks[i].diskNum, disks[i].serialNumber);
    }
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s 'shell command'\n", argv[0]);
        return 2;
    }
    selectStorageFromEnvironment();
    printList();
    const int status = std::system(argv[1]);
    printList();
    return status == 0 ? 0 : 1;
}
