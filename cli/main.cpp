// quillfence-cli: the disk layer of the program, printed for scripts and tests.

#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/HistoryCommands.h"
#include "cli/Print.h"
#include "cli/TextEscape.h"
#include "common/ProgramInfo.h"
#include "disk/simulated/DeviceLog.h"
#include "disk/StorageBackend.h"

#include <map>

namespace {

std::string usageText()
{
    return std::string("usage: quillfence-cli list [--json] [--include-system] [--nocheck standby]\n"
                       "       quillfence-cli smart N|--all [--json] [--include-system] [--nocheck standby]\n"
                       "       quillfence-cli metrics [--include-system] [--nocheck standby] [--output FILE]\n"
                       "       quillfence-cli update-firmware N [--yes] [--app-dir DIR]\n") +
           kHistorySynopsis +
           "       quillfence-cli --help | --version\n"
           "\n"
           "  list     the physical disks (the system disk excepted) with their partitions\n"
           "  smart    the SMART table of physical drive N, or of every listed drive, as the\n"
           "           SMART page shows it, with the remaining life and the health level\n"
           "  metrics  the readings of every listed drive in the Prometheus text format\n"
           "  update-firmware  the firmware update of physical drive N, as the update page\n"
           "           runs it; sends the image only with --yes. The images are looked for\n"
           "           in DIR/FwUpdata only, or by default in FwUpdata in the folder of this\n"
           "           program, then in the system's and the user's data folders\n" +
           kHistoryDescription +
           "  --json   print one JSON object (format version 1) instead of a table\n"
           "  --include-system  list and read the system disk too\n"
           "  --nocheck standby  ask each drive's power mode first and leave a drive in\n"
           "           standby unread, so that it is not woken\n"
           "  --output FILE  replace FILE with the metrics instead of printing them\n"
           "\n"
           "Exit status, bits added together: 1 a drive or the disk list could not be read,\n"
           "2 bad arguments, 4 a SMART command failed, 8 a value over its limit or the\n"
           "health level 警告, 16 the metrics file or the health history could not be written.\n"
           "\n"
           "Set " +
           kDevicesVariable + " to a fleet file to read a simulated machine, and\n" + kDeviceLogVariable +
           " to a file to log every command its drives receive.\n";
}

}  // namespace

int usage(const std::string& command, const std::string& problem)
{
    printErr("quillfence-cli" + (command.empty() ? "" : " " + command) + ": " + problem + "\n" + usageText());
    return kExitUsage;
}

int main(int argc, char** argv)
{
    if (const auto answered = answerHelpOrVersion(argc, argv, "quillfence-cli", usageText()))
        return *answered;
    CommandTable commands = {
        {"list", listCommand},
        {"smart", smartCommand},
        {"metrics", metricsCommand},
        {"update-firmware", firmwareCommand},
    };
    commands.insert(kHistoryCommands.begin(), kHistoryCommands.end());
    if (argc < 2)
        return usage("", "no command given");
    if (!commands.count(argv[1]))
        return usage("", "unknown command " + printable(argv[1]));
    selectStorageFromEnvironment();
    const int code = commands.at(argv[1])(Arguments(argv + 2, argv + argc));
    // The simulated drives refused commands for want of their log (the
    // backend said so on standard error): whatever came of it, the drives
    // could not be read.
    return deviceLogFailed() ? code | kExitDeviceUnreadable : code;
}
