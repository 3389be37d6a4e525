#pragma once
// The privileged side of the helper protocol: serves the storage-control
// interface of one backend to one client, checking every request before it
// reaches a device. A request that breaks a rule, or is no request at all,
// gets a refusal; the helper goes on serving.
//
// Read mode: device paths only of whole disks and volumes the backend's own
// enumeration found; drive commands, ATA, SAT and NVMe, only those the
// program sends to read a drive; no writer's lock, no DOWNLOAD MICROCODE.
//
// Firmware mode, for one firmware update: drives are named by their device
// (number and disk sequence), not by a number of an enumeration; one
// writer's lock, on one drive; drive commands only to that drive, while the
// handle they go to and the lock's are the same device, DOWNLOAD MICROCODE
// among them with as much data as the command moves. When the lock's handle
// is closed, the helper has served its update and ends.

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
    // end of the stream closes, or a firmware update's lock is given back;
    // 0 then, 1 when the stream broke.
    int serve(int in, int out);
    // A firmware update's lock was taken and given back: nothing more is served.
    bool finished() const { return finished_; }

    // More open handles than any client needs at once are refused.
    static constexpr size_t kMaxOpen = 32;

private:
    struct Opened {
        bool drive = false;  // a physical drive, not a volume
    };
    std::vector<uint8_t> handle(const std::vector<uint8_t>& request);
    // Whether the operation is served in this helper's mode.
    bool served(uint8_t op) const;
    const Opened* opened(DeviceHandle handle) const;
    // Firmware mode: whether `handle` is open on the device this helper
    // holds the lock of, asked of both descriptors now.
    bool onLockedDevice(DeviceHandle handle);

    StorageControl& storage_;
    Mode mode_;
    std::map<DeviceHandle, Opened> opened_;
    DeviceHandle writer_ = kInvalidHandle;  // the handle holding a drive's lock
    bool locked_ = false;                   // a lock was taken (one per helper)
    bool finished_ = false;
};
