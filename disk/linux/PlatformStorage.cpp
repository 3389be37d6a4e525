// The backend of this machine: the Linux backend itself when the process has
// the rights its requests need (root, or CAP_SYS_RAWIO), otherwise the
// privileged helper, started through pkexec.

#include "disk/StorageBackend.h"
#include "disk/helper/HelperLaunch.h"
#include "disk/helper/HelperStorage.h"
#include "disk/linux/LinuxStorage.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

constexpr int kCapSysRawio = 17;

bool hasRawIoCapability()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("CapEff:", 0) == 0)
            return (std::strtoull(line.substr(7).c_str(), nullptr, 16) >> kCapSysRawio) & 1;
    }
    return false;
}

}  // namespace

std::unique_ptr<StorageControl> makePlatformStorage()
{
    if (geteuid() == 0 || hasRawIoCapability())
        return std::make_unique<LinuxStorage>();
    return std::make_unique<HelperStorage>(HelperStorage::launching(helperLauncher(), helperProgram()));
}
