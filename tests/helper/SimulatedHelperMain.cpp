// quillfence-helper-sim: the helper's server over the simulated fleet that
// QUILLFENCE_DEVICES names, for tests of the program and the helper as
// separate processes without a device or polkit. Never installed.

#include "disk/helper/HelperProtocol.h"
#include "disk/simulated/SimulatedStorage.h"
#include "helper/HelperServer.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv)
{
    const char* fleet = std::getenv("QUILLFENCE_DEVICES");
    if (argc != 2 || !fleet)
        return 2;
    const bool firmware = std::strcmp(argv[1], helper::kFirmwareMode) == 0;
    if (!firmware && std::strcmp(argv[1], helper::kReadMode) != 0)
        return 2;
    std::signal(SIGPIPE, SIG_IGN);
    auto machine = SimulatedStorage::fromFile(fleet);
    HelperServer server(*machine, firmware ? HelperServer::Mode::Firmware : HelperServer::Mode::Read);
    return server.serve(STDIN_FILENO, STDOUT_FILENO);
}
