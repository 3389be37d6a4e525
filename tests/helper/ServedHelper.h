#pragma once
// Helpers served in threads of the test's own process, over socket pairs,
// from one simulated machine: what HelperStorage starts instead of running
// pkexec. The client and the helpers take turns (one request, one reply), so
// the machine is never used by two threads at once.

#include "disk/helper/HelperProtocol.h"
#include "disk/helper/HelperStorage.h"
#include "disk/simulated/SimulatedStorage.h"
#include "helper/HelperServer.h"
#include "tests/helper/SerializedStorage.h"

#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

class ServedHelpers {
public:
    explicit ServedHelpers(SimulatedStorage& machine) : machine_(machine) {}
    ~ServedHelpers()
    {
        // Each helper ends when its client has closed the socket.
        for (auto& thread : threads_)
            if (thread.joinable())
                thread.join();
    }

    // The starter to give HelperStorage; modes in `refused` do not start.
    HelperStorage::Starter starter()
    {
        return [this](const std::string& mode) -> std::unique_ptr<HelperConnection> {
            started.push_back(mode);
            if (refused.count(mode))
                return nullptr;
            int ends[2];
            if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
                return nullptr;
            const auto served = mode == helper::kFirmwareMode ? HelperServer::Mode::Firmware : HelperServer::Mode::Read;
            sockets_.push_back(ends[1]);
            threads_.emplace_back([this, served, socket = ends[1]] {
                SerializedStorage storage(machine_, machineMutex_);
                HelperServer server(storage, served);
                server.serve(socket, socket);
                ::close(socket);
            });
            return HelperConnection::over(ends[0], mode);
        };
    }

    // The helper started `index`-th dies: its stream breaks, and its client
    // finds it gone at the next request. Returns once it has ended.
    void kill(size_t index)
    {
        ::shutdown(sockets_.at(index), SHUT_RDWR);
        threads_.at(index).join();
        threads_.at(index) = std::thread();
    }

    std::vector<std::string> started;  // the modes asked for, in order
    std::set<std::string> refused;

private:
    SimulatedStorage& machine_;
    std::recursive_mutex machineMutex_;  // the helpers' calls, one at a time
    std::vector<std::thread> threads_;
    std::vector<int> sockets_;  // the helpers' ends
};
