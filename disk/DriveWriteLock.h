#pragma once
// The one writer of a physical drive: held for a whole transfer, by the
// window and the command line alike, so that a second writer is refused
// before it sends anything.

#include "disk/DeviceIdentity.h"
#include "disk/StorageControl.h"

class DriveWriteLock {
public:
    // Every state but Held means that nothing was sent to the drive.
    enum class State {
        Held,           // this object is the drive's writer
        Busy,           // another writer holds the drive
        Changed,        // the drive is gone, or the number names another device than the one read
        NotAuthorised,  // the administrator's authorisation to write was refused
        NoAccess,       // the drive could not be opened for lack of rights
        Failed,         // the drive could not be opened or locked for another reason
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
