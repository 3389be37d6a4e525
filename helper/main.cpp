// quillfence-helper: the storage-control interface of this machine, served to
// the program over standard input and output (the protocol in
// disk/helper/HelperProtocol.h). It is started through pkexec: "read" to read
// drives, "firmware" for one firmware update. It reads nothing of its
// environment and ends when its client goes away.

#include "disk/helper/HelperProtocol.h"
#include "disk/linux/LinuxStorage.h"
#include "helper/HelperServer.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    HelperServer::Mode mode;
    if (argc == 2 && std::strcmp(argv[1], helper::kReadMode) == 0) {
        mode = HelperServer::Mode::Read;
    } else if (argc == 2 && std::strcmp(argv[1], helper::kFirmwareMode) == 0) {
        mode = HelperServer::Mode::Firmware;
    } else {
        std::fprintf(stderr, "usage: %s read|firmware\n(started by the program through pkexec; it speaks a "
                             "binary protocol on its standard input and output)\n",
                     argc > 0 ? argv[0] : "quillfence-helper");
        return 2;
    }
    // A client that goes away mid-reply ends the helper through EOF or a
    // failed write, not through a signal.
    std::signal(SIGPIPE, SIG_IGN);
    umask(077);
    LinuxStorage storage;
    HelperServer server(storage, mode);
    return server.serve(STDIN_FILENO, STDOUT_FILENO);
}
