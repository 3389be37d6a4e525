#pragma once
// The storage-control interface: every drive and volume access of the disk layer
// goes through one object of this class. Its operations take and return plain
// values, so a backend can be the operating system's own interface, a simulated
// fleet of drives, or a privileged process speaking for the system's own.
//
// Devices are named as the Windows storage interface names them:
// "\\.\PHYSICALDRIVE<n>" for physical drive n, "\\.\X:" for the volume with
// letter X, and "X:\" for the root of that volume. Each request is made on an
// open handle that the caller closes again right away; only a writer's lock
// keeps its handle open for as long as the writing lasts.

#include "disk/DeviceIdentity.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using DeviceHandle = int64_t;
constexpr DeviceHandle kInvalidHandle = -1;

// How a physical drive (or volume) is opened.
enum class AccessMode {
    ReadWrite,             // probe, length, volume lookup
    QueryOnly,             // no access rights: property queries only
    ReadWriteNoBuffering,  // pass-through commands
};

enum class DataDirection { In, Out };

// Values of the Windows drive-type query.
enum class DriveType : uint32_t {
    Unknown = 0,
    NoRootDir = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

// Values of the storage descriptor's BusType that the program tells apart.
constexpr uint32_t kBusTypeUsb = 7;
constexpr uint32_t kBusTypeSata = 11;
constexpr uint32_t kBusTypeNvme = 17;

using AtaTaskFile = std::array<uint8_t, 8>;  // features, count, lba low/mid/high, device, command, reserved
using SatCdb = std::array<uint8_t, 12>;      // ATA PASS-THROUGH (12)
// The sense data a SAT command came back with, zero past what the bridge
// returned; a first byte of 0 means none (success).
using SatSense = std::array<uint8_t, 32>;

// The registers a drive returns after an ATA command take the task file's
// places: error, sector count, LBA low, mid, high, device, status, reserved.
constexpr size_t kReturnedError = 0;
constexpr size_t kReturnedCount = 1;
constexpr size_t kReturnedStatus = 6;

// One NVMe admin command as the controller takes it: the opcode, the
// namespace ID and command dwords 10 to 15. The rest of the submission
// entry (data pointers, command identifier) is the transport's.
struct NvmeAdminCommand {
    uint8_t opcode = 0;
    uint32_t nsid = 0;
    std::array<uint32_t, 6> cdw{};  // CDW10 ... CDW15

    bool operator==(const NvmeAdminCommand& other) const
    {
        return opcode == other.opcode && nsid == other.nsid && cdw == other.cdw;
    }
    bool operator!=(const NvmeAdminCommand& other) const { return !(*this == other); }
};

// Kinds of failure that the program tells the user apart (the helper's
// replies carry them as numbers: new kinds go last).
enum class Failure {
    Other,
    AccessDenied,   // the process lacks the rights
    Locked,         // another writer holds the drive
    NotAuthorised,  // the administrator's authorisation was refused or not given
    Gone,           // no such device (any more)
};

struct VolumeSpace {
    uint64_t availableToCaller = 0;  // quota-limited free bytes
    uint64_t total = 0;
    uint64_t totalFree = 0;
};

class StorageControl {
public:
    virtual ~StorageControl() = default;

    // A device path as above; kInvalidHandle when it is absent or inaccessible.
    virtual DeviceHandle open(const std::string& devicePath, AccessMode mode) = 0;
    virtual void close(DeviceHandle handle) = 0;

    virtual bool queryBusType(DeviceHandle drive, uint32_t& busType) = 0;
    // Length of the whole disk in bytes.
    virtual bool queryDiskLength(DeviceHandle drive, int64_t& bytes) = 0;
    // Number of the physical drive that holds an opened volume.
    virtual bool queryDeviceNumber(DeviceHandle volume, uint32_t& deviceNumber) = 0;

    // One ATA command: `length` bytes of `buffer` move in `direction`
    // (none: a non-data command). True when the request itself went through;
    // `returned` holds the registers the drive returned, its status at
    // kReturnedStatus (bit 0 set: the drive failed the command).
    virtual bool ataCommand(DeviceHandle drive, const AtaTaskFile& taskFile, uint8_t* buffer,
                            uint32_t length, DataDirection direction, uint32_t timeoutSeconds,
                            AtaTaskFile& returned) = 0;
    // One SAT command block. True when the request went through; `sense` is
    // the sense data the bridge returned (first byte 0: none, success). A
    // command that asks for its registers (CK_COND) gets them back there.
    virtual bool satCommand(DeviceHandle drive, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                            DataDirection direction, uint32_t timeoutSeconds,
                            SatSense& sense) = 0;
    // One NVMe admin command that moves `length` bytes from the drive into
    // `buffer`; nothing is ever sent to the drive this way. True when the
    // request went through; `status` is then the completion's status field
    // (status code type and status code, without the phase bit; 0: success)
    // and `result` its dword 0.
    virtual bool nvmeAdminCommand(DeviceHandle drive, const NvmeAdminCommand& command, uint8_t* buffer,
                                  uint32_t length, uint32_t timeoutSeconds, uint16_t& status, uint32_t& result) = 0;

    // The device behind an opened physical drive.
    virtual bool queryDeviceIdentity(DeviceHandle drive, DeviceIdentity& identity) = 0;
    // Opens the physical drive that is `device` now, whatever number it
    // has (the commands of a transfer go to the device that was read);
    // kInvalidHandle (Failure::Gone) when no drive is that device.
    virtual DeviceHandle openDevice(const DeviceIdentity& device, AccessMode mode) = 0;
    // Makes the handle the drive's only writer for as long as it stays open;
    // false when another handle, in this process or another, holds the lock
    // (lastFailure() is then Failure::Locked) or the handle cannot hold one.
    virtual bool lockForWriting(DeviceHandle drive) = 0;

    // Reads the machine afresh for an enumeration about to start: the drives
    // and volumes, their numbers and letters stay as read until the next one.
    // A backend that reads the machine anew on every request does nothing.
    virtual void beginEnumeration() {}
    // After an administrator's authorisation was refused or cancelled, a
    // backend that asks for one asks no more until this is called (the user
    // asked to try again).
    virtual void retryAuthorisation() {}

    // The system's own name for what a path names, for people and scripts:
    // for "\\.\PHYSICALDRIVE<n>" the drive's device ("/dev/sda" on Linux,
    // the path itself on Windows), for a root path "X:\" the mount point of
    // the volume ("/home" on Linux, the root path itself on Windows). False
    // when it has none.
    virtual bool systemName(const std::string& path, std::string& name) = 0;

    // Bit 0 for "A" up to bit 25 for "Z".
    virtual uint32_t logicalDrives() = 0;
    virtual DriveType driveType(const std::string& rootPath) = 0;
    virtual bool diskFreeSpace(const std::string& rootPath, VolumeSpace& space) = 0;
    // A path whose first character is the letter of the system volume.
    virtual bool systemDirectory(std::string& path) = 0;
    // Number describing the last failure, for diagnostics.
    virtual uint32_t lastError() = 0;
    // What kind of failure the last one was.
    virtual Failure lastFailure() = 0;
};
