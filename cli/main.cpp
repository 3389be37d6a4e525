// quillfence-cli: the disk layer of the program, printed for scripts and tests.

#include "cli/ListCommand.h"
#include "disk/StorageControl.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::cerr << "usage: quillfence-cli list [--json]\n"
                 "\n"
                 "  list    the physical disks (the system disk excepted) with their partitions\n"
                 "  --json  print one JSON object instead of a table\n"
                 "\n"
                 "Set " << kDevicesVariable << " to a fleet file to read a simulated machine.\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usage();
    selectStorageFromEnvironment();

    const std::string& command = args[0];
    if (command == "list") {
        if (args.size() == 1)
            return listCommand(false, std::cout);
        if (args.size() == 2 && args[1] == "--json")
            return listCommand(true, std::cout);
    }
    return usage();
}
