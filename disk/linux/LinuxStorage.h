#pragma once
// The storage-control interface on Linux: physical drives are the whole
// disks of sysfs, volumes the mounted file systems that lie on block
// devices, ATA and SAT commands go through SG_IO, NVMe admin commands
// through the NVMe admin-command ioctl on the namespace's node.
//
// The machine is read once per enumeration (beginEnumeration()): drive
// numbers, letters and the system volume come from that one snapshot until
// the next. Drive numbers stay with their disk for the life of this object.
// Volume queries are answered from the snapshot without opening any device;
// drives are opened read-only, which neither ioctl needs more than.
//
// A drive's writer holds an exclusive flock on its node for the whole
// transfer (the lock udev honours). Every other drive command holds a shared
// one for as long as it runs, so no command of another process of the
// program reaches a drive while it is being written; a command to a drive
// locked by a writer fails at once as Failure::Locked.

#include "disk/StorageControl.h"
#include "disk/linux/DriveNumbering.h"
#include "disk/linux/LinuxSnapshot.h"
#include "disk/linux/MachineReader.h"

#include <map>
#include <memory>
#include <string>

class LinuxStorage : public StorageControl {
public:
    explicit LinuxStorage(std::unique_ptr<MachineReader> reader = std::make_unique<MachineReader>());
    ~LinuxStorage() override;

    DeviceHandle open(const std::string& devicePath, AccessMode mode) override;
    void close(DeviceHandle handle) override;
    bool queryBusType(DeviceHandle drive, uint32_t& busType) override;
    bool queryDiskLength(DeviceHandle drive, int64_t& bytes) override;
    bool queryDeviceNumber(DeviceHandle volume, uint32_t& deviceNumber) override;
    bool ataCommand(DeviceHandle drive, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds, AtaTaskFile& returned) override;
    bool satCommand(DeviceHandle drive, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds, SatSense& sense) override;
    bool nvmeAdminCommand(DeviceHandle drive, const NvmeAdminCommand& command, uint8_t* buffer, uint32_t length,
                          uint32_t timeoutSeconds, uint16_t& status, uint32_t& result) override;
    bool queryDeviceIdentity(DeviceHandle drive, DeviceIdentity& identity) override;
    // Found in sysfs by its device number and disk sequence, without the
    // drive numbers of any enumeration.
    DeviceHandle openDevice(const DeviceIdentity& device, AccessMode mode) override;
    // Waits a few seconds for commands of other processes that hold the
    // drive (readers), never for another writer.
    bool lockForWriting(DeviceHandle drive) override;
    void beginEnumeration() override;
    bool systemName(const std::string& path, std::string& name) override;
    uint32_t logicalDrives() override;
    DriveType driveType(const std::string& rootPath) override;
    bool diskFreeSpace(const std::string& rootPath, VolumeSpace& space) override;
    bool systemDirectory(std::string& path) override;
    uint32_t lastError() override;
    Failure lastFailure() override;

    // The snapshot in use (taken now when there is none yet).
    const LinuxSnapshot& snapshot();

private:
    struct OpenDevice {
        std::string disk;     // kernel name of a drive; empty for a volume
        char letter = 0;      // a volume's letter
        int fd = -1;          // a drive opened for requests; -1 for queries only
        bool writer = false;  // holds the drive's writer's lock
    };
    class CommandHold;
    OpenDevice* device(DeviceHandle handle);
    // The descriptor of a drive handle opened for requests.
    int driveDescriptor(DeviceHandle handle);
    // Opens the node of whole disk `disk`, which must be the device `rdev`.
    DeviceHandle openDisk(const BlockDevice& disk, AccessMode mode);
    // Whether this object holds the writer's lock of the device `fd` is open on.
    bool writes(int fd) const;
    const LinuxVolume* volumeAt(const std::string& rootPath);
    bool failWith(int error);

    std::unique_ptr<MachineReader> reader_;
    DriveNumbering numbering_;
    std::unique_ptr<LinuxSnapshot> snapshot_;
    std::map<DeviceHandle, OpenDevice> handles_;
    DeviceHandle nextHandle_ = 1;
    int lastError_ = 0;
    bool lastFailureLocked_ = false;
};
