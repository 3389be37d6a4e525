#include "disk/DriveWriteLock.h"

#include "disk/DevicePath.h"
#include "disk/StorageBackend.h"

#include <cstdio>

DriveWriteLock::DriveWriteLock(int diskNum, const DeviceIdentity& read)
{
    StorageControl& sc = storage();
    handle_ = sc.open(physicalDrivePath(diskNum), AccessMode::ReadWrite);
    if (handle_ == kInvalidHandle)
        return;
    if (!sc.queryDeviceIdentity(handle_, device_))
        return;
    if (read != DeviceIdentity{} && device_ != read) {
        std::fprintf(stderr, "physical drive %d is not the device it was when it was read\n", diskNum);
        state_ = State::Changed;
        return;
    }
    if (sc.lockForWriting(handle_))
        state_ = State::Held;
    else if (sc.lastFailure() == Failure::Locked)
        state_ = State::Busy;
    else
        state_ = sc.lastFailure() == Failure::NotAuthorised ? State::NotAuthorised : State::Failed;
}

DriveWriteLock::~DriveWriteLock()
{
    if (handle_ != kInvalidHandle)
        storage().close(handle_);
}
