#pragma once
// The privileged side of the helper protocol: serves the storage-control
// interface of one backend to one client, checking every request before it
// reaches a device. Device paths only of whole disks and volumes the
// backend's own enumeration found; drive commands, ATA, SAT and NVMe, only
// those the program sends; DOWNLOAD MICROCODE only when the helper was
// started for a firmware update, only to the drive it holds the writer's
// lock of, with as much data as the command moves. A request that breaks a rule, or is no request at
// all, gets a refusal; the helper goes on serving.

#include "disk/DevicePath.h"
#include "disk/StorageControl.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class HelperServer {
public:
    enum class Mode { Read, Firmware };

    HelperServer(StorageControl& storage, Mode mode);
    ~HelperServer();
    HelperServer(const HelperServer&) = delete;
    HelperServer& operator=(const HelperServer&) = delete;

    // The frame the helper starts with: the protocol version and the mode.
    std::vector<uint8_t> hello() const;
    // The reply to one request frame, whatever the frame holds.
    std::vector<uint8_t> reply(const std::vector<uint8_t>& request);
    // Serves requests from `in` with replies on `out` until the client's
    // end of the stream closes; 0 then, 1 when the stream broke.
    int serve(int in, int out);

    // More open handles than any client needs at once are refused.
    static constexpr size_t kMaxOpen = 32;

private:
    struct Opened {
        std::string path;
        bool drive = false;
    };
    std::vector<uint8_t> handle(const std::vector<uint8_t>& request);
    const Opened* opened(DeviceHandle handle) const;
    bool downloadAllowed(DeviceHandle handle, std::string& reason) const;

    StorageControl& storage_;
    Mode mode_;
    std::map<DeviceHandle, Opened> opened_;
    DeviceHandle writer_ = kInvalidHandle;  // the handle holding a drive's lock
};
