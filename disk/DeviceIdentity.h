#pragma once
// Which physical device a drive number named at one moment. A drive number
// may name another device later (a disk removed and another one attached),
// so what is sent to a drive over several requests is checked against the
// identity read when the drive was listed.

#include <cstdint>

struct DeviceIdentity {
    uint64_t device;    // the device number (Linux dev_t, the Windows device number)
    uint64_t sequence;  // the kernel's disk sequence number; 0 where unknown

    bool operator==(const DeviceIdentity& other) const
    {
        return device == other.device && sequence == other.sequence;
    }
    bool operator!=(const DeviceIdentity& other) const { return !(*this == other); }
};
