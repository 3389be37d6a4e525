#include "disk/helper/HelperConnection.h"

#include "disk/helper/HelperProtocol.h"

#include <cerrno>
#include <cstdio>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace helper;

HelperConnection::HelperConnection(pid_t child, int socket) : child_(child), socket_(socket) {}

std::unique_ptr<HelperConnection> HelperConnection::start(const std::vector<std::string>& launcher,
                                                          const std::string& helperPath, const std::string& mode)
{
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return nullptr;
    std::vector<std::string> words = launcher;
    words.push_back(helperPath);
    words.push_back(mode);
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        dup2(ends[1], STDIN_FILENO);
        dup2(ends[1], STDOUT_FILENO);
        execvp(argv[0], argv.data());
        std::fprintf(stderr, "quillfence: %s cannot be started\n", argv[0]);
        _exit(127);
    }
    ::close(ends[1]);
    if (child < 0) {
        ::close(ends[0]);
        return nullptr;
    }
    std::unique_ptr<HelperConnection> connection(new HelperConnection(child, ends[0]));
    // A launcher that ends without starting the helper (the authorisation
    // refused or cancelled) closes the socket before any hello.
    return connection->greeted(helperPath, mode) ? std::move(connection) : nullptr;
}

std::unique_ptr<HelperConnection> HelperConnection::over(int socket, const std::string& mode)
{
    std::unique_ptr<HelperConnection> connection(new HelperConnection(-1, socket));
    return connection->greeted("the helper", mode) ? std::move(connection) : nullptr;
}

bool HelperConnection::greeted(const std::string& helperName, const std::string& mode)
{
    std::vector<uint8_t> hello;
    if (readFrame(socket_, hello) != FrameRead::Frame)
        return false;
    Reader in(hello);
    uint32_t version = 0;
    std::string startedMode;
    if (!in.u32(version) || !in.text(startedMode) || version != kProtocolVersion || startedMode != mode) {
        std::fprintf(stderr, "quillfence: %s is not the helper this program speaks to\n", helperName.c_str());
        return false;
    }
    return true;
}

HelperConnection::~HelperConnection()
{
    ::close(socket_);
    int status = 0;
    while (child_ > 0 && waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
}

bool HelperConnection::call(const std::vector<uint8_t>& request, std::vector<uint8_t>& reply)
{
    if (gone_)
        return false;
    if (!writeFrame(socket_, request) || readFrame(socket_, reply) != FrameRead::Frame)
        gone_ = true;
    return !gone_;
}
