#include "disk/DriveWriteLock.h"

#include "disk/DevicePath.h"
#include "disk/StorageBackend.h"

#include <cstdio>

namespace {

// The state after an open or a lock failed the way `failure` says.
DriveWriteLock::State refusedBy(Failure failure)
{
    switch (failure) {
    case Failure::Locked:
        return DriveWriteLock::State::Busy;
    case Failure::NotAuthorised:
        return DriveWriteLock::State::NotAuthorised;
    case Failure::Gone:
        return DriveWriteLock::State::Changed;
    case Failure::AccessDenied:
        return DriveWriteLock::State::NoAccess;
    case Failure::Other:
        break;
    }
    return DriveWriteLock::State::Failed;
}

}  // namespace

DriveWriteLock::DriveWriteLock(int diskNum, const DeviceIdentity& read)
{
    StorageControl& sc = storage();
    handle_ = sc.open(physicalDrivePath(diskNum), AccessMode::ReadWrite);
    if (handle_ == kInvalidHandle) {
        state_ = refusedBy(sc.lastFailure());
        return;
    }
    if (!sc.queryDeviceIdentity(handle_, device_))
        return;
    if (read != DeviceIdentity{} && device_ != read) {
        std::fprintf(stderr, "physical drive %d is not the device it was when it was read\n", diskNum);
        state_ = State::Changed;
        return;
    }
    state_ = sc.lockForWriting(handle_) ? State::Held : refusedBy(sc.lastFailure());
}

DriveWriteLock::~DriveWriteLock()
{
    if (handle_ != kInvalidHandle)
        storage().close(handle_);
}
