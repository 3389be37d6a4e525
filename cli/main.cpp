// quillfence-cli: the disk layer of the program, printed for scripts and tests.

#include "cli/Commands.h"
#include "disk/StorageControl.h"

#include <iostream>
#include <map>

int usage()
{
    std::cerr << "usage: quillfence-cli list [--json]\n"
                 "       quillfence-cli smart N [--json]\n"
                 "\n"
                 "  list    the physical disks (the system disk excepted) with their partitions\n"
                 "  smart   the SMART table of physical drive N, as the SMART page shows it\n"
                 "  --json  print one JSON object instead of a table\n"
                 "\n"
                 "Set " << kDevicesVariable << " to a fleet file to read a simulated machine.\n";
    return 2;
}

int main(int argc, char** argv)
{
    const std::map<std::string, int (*)(const Arguments&)> commands = {
        {"list", listCommand},
        {"smart", smartCommand},
    };
    if (argc < 2 || !commands.count(argv[1]))
        return usage();
    selectStorageFromEnvironment();
    return commands.at(argv[1])(Arguments(argv + 2, argv + argc));
}
