#pragma once
// The storage-control interface on Windows: device paths go to CreateFileA as
// they stand, queries and commands are DeviceIoControl requests, volumes are
// asked through the drive-letter functions. NVMe admin commands are
// protocol-specific storage property queries.

#include "disk/StorageControl.h"

#include <map>

class WindowsStorage : public StorageControl {
public:
    DeviceHandle open(const std::string& devicePath, AccessMode mode) override;
    void close(DeviceHandle handle) override;
    bool queryBusType(DeviceHandle drive, uint32_t& busType) override;
    bool queryDiskLength(DeviceHandle drive, int64_t& bytes) override;
    bool queryDeviceNumber(DeviceHandle volume, uint32_t& deviceNumber) override;
    bool ataCommand(DeviceHandle drive, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds, AtaTaskFile& returned) override;
    bool satCommand(DeviceHandle drive, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds, SatSense& sense) override;
    // Through the NVMe protocol-specific property query, which has forms for
    // Identify Controller and Get Log Page only; the driver keeps its own
    // time-out and reports a failed command as a failed request.
    bool nvmeAdminCommand(DeviceHandle drive, const NvmeAdminCommand& command, uint8_t* buffer, uint32_t length,
                          uint32_t timeoutSeconds, uint16_t& status, uint32_t& result) override;
    bool queryDeviceIdentity(DeviceHandle drive, DeviceIdentity& identity) override;
    DeviceHandle openDevice(const DeviceIdentity& device, AccessMode mode) override;
    bool lockForWriting(DeviceHandle drive) override;
    bool systemName(const std::string& path, std::string& name) override;
    uint32_t logicalDrives() override;
    DriveType driveType(const std::string& rootPath) override;
    bool diskFreeSpace(const std::string& rootPath, VolumeSpace& space) override;
    bool systemDirectory(std::string& path) override;
    uint32_t lastError() override;
    Failure lastFailure() override;

private:
    // True when a drive command may go to `drive`: no other writer holds
    // its lock (a reader's commands wait for no one; they are refused).
    bool noWriterElsewhere(DeviceHandle drive);

    // The writer's lock of a drive handle: a named object per drive number,
    // closed with the handle.
    std::map<DeviceHandle, void*> writerLocks_;
    bool lastFailureLocked_ = false;
};
