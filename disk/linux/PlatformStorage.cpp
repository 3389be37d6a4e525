// The backend of this machine: the Linux backend itself when the process has
// the rights its requests need (root, or CAP_SYS_RAWIO), otherwise the
// privileged helper, started through pkexec.

#include "disk/StorageBackend.h"
#include "disk/helper/HelperStorage.h"
#include "disk/linux/LinuxStorage.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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

// The helper: the one QUILLFENCE_HELPER names (a test aid), the one of the
// build tree beside this program's folder, else the installed one.
std::string helperPath()
{
    if (const char* named = std::getenv(kHelperVariable); named && *named)
        return named;
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const auto built = program.parent_path().parent_path() / "helper" / "quillfence-helper";
        if (std::filesystem::is_regular_file(built, error))
            return built.string();
    }
    return QUILLFENCE_HELPER_PATH;
}

// pkexec, or the launcher QUILLFENCE_HELPER_LAUNCHER names (a test aid),
// split at spaces.
std::vector<std::string> launcher()
{
    const char* named = std::getenv(kHelperLauncherVariable);
    if (!named || !*named)
        return {"pkexec"};
    std::vector<std::string> words;
    std::istringstream text(named);
    for (std::string word; text >> word;)
        words.push_back(word);
    return words;
}

}  // namespace

std::unique_ptr<StorageControl> makePlatformStorage()
{
    if (geteuid() == 0 || hasRawIoCapability())
        return std::make_unique<LinuxStorage>();
    return std::make_unique<HelperStorage>(HelperStorage::launching(launcher(), helperPath()));
}
