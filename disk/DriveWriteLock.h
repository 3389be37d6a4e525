#pragma once
// The one writer of a physical drive: held for a whole transfer, by the
// window and the command line alike, so that a second writer is refused
// before it sends anything.

#include "disk/DeviceIdentity.h"
#include "disk/StorageControl.h"

class DriveWriteLock {
public:
    enum class State {
        Held,     // this object is the drive's writer
        Busy,     // another writer holds the drive
        Changed,  // the drive number names another device than the one read
        NotAuthorised,  // the administrator's authorisation to write was refused
        Failed,   // the drive cannot be opened or locked
    };

    // Opens physical drive diskNum and takes its lock. `read` is the device
    // the caller read from that drive number; all zeros when not known.
    DriveWriteLock(int diskNum, const DeviceIdentity& read);
    ~DriveWriteLock();
    DriveWriteLock(const DriveWriteLock&) = delete;
    DriveWriteLock& operator=(const DriveWriteLock&) = delete;

    State state() const { return state_; }
    // The device locked, which every command of the transfer must reach.
    const DeviceIdentity& device() const { return device_; }

private:
    DeviceHandle handle_ = kInvalidHandle;
    State state_ = State::Failed;
    DeviceIdentity device_{};
};
