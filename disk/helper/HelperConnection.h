#pragma once
// One running quillfence-helper and the socket to it (its standard input and
// output): started through a launcher (pkexec), asked one request at a time.

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

class HelperConnection {
public:
    // Runs `launcher..., helper, mode` with a socket as its standard input
    // and output and waits for the helper's hello; nothing when the helper did
    // not start (the launcher is missing, or the authorisation was refused
    // or cancelled).
    static std::unique_ptr<HelperConnection> start(const std::vector<std::string>& launcher, const std::string& helper,
                                                   const std::string& mode);
    // A helper already at the other end of `socket` (tests serve one in a
    // thread); the hello is read as from a started one.
    static std::unique_ptr<HelperConnection> over(int socket, const std::string& mode);
    // Closes the socket, which ends the helper, and waits for it.
    ~HelperConnection();
    HelperConnection(const HelperConnection&) = delete;
    HelperConnection& operator=(const HelperConnection&) = delete;

    // Sends a request and reads its reply; false when the helper is gone.
    bool call(const std::vector<uint8_t>& request, std::vector<uint8_t>& reply);

private:
    HelperConnection(pid_t child, int socket);
    // Reads and checks the hello of a helper in `mode`.
    bool greeted(const std::string& helperName, const std::string& mode);

    pid_t child_;
    int socket_;
    bool gone_ = false;
};
