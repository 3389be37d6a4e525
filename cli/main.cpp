// quillfence-cli: the disk layer of the program, printed for scripts and tests.

#include "cli/Commands.h"
#include "cli/Print.h"
#include "common/ProgramInfo.h"
#include "disk/simulated/DeviceLog.h"
#include "disk/StorageBackend.h"

#include <map>

namespace {

std::string usageText()
{
    return std::string("usage: quillfence-cli list [--json]\n"
                       "       quillfence-cli smart N [--json]\n"
                       "       quillfence-cli update-firmware N [--yes] [--app-dir DIR]\n"
                       "       quillfence-cli --help | --version\n"
                       "\n"
                       "  list    the physical disks (the system disk excepted) with their partitions\n"
                       "  smart   the SMART table of physical drive N, as the SMART page shows it\n"
                       "  update-firmware  the firmware update of physical drive N, as the update page\n"
                       "          runs it; sends the image only with --yes. The images are looked for\n"
                       "          in DIR/FwUpdata only, or by default in FwUpdata in the folder of this\n"
                       "          program, then in the system's and the user's data folders\n"
                       "  --json  print one JSON object instead of a table\n"
                       "\n"
                       "Set ") +
           kDevicesVariable + " to a fleet file to read a simulated machine, and\n" + kDeviceLogVariable +
           " to a file to log every command its drives receive.\n";
}

}  // namespace

int usage()
{
    printErr(usageText());
    return 2;
}

int main(int argc, char** argv)
{
    if (const auto answered = answerHelpOrVersion(argc, argv, "quillfence-cli", usageText()))
        return *answered;
    const std::map<std::string, int (*)(const Arguments&)> commands = {
        {"list", listCommand},
        {"smart", smartCommand},
        {"update-firmware", firmwareCommand},
    };
    if (argc < 2 || !commands.count(argv[1]))
        return usage();
    selectStorageFromEnvironment();
    const int code = commands.at(argv[1])(Arguments(argv + 2, argv + argc));
    // The simulated drives refused commands for want of their log (the
    // backend said so on standard error): whatever came of it, the run failed.
    return code == 0 && deviceLogFailed() ? 1 : code;
}
