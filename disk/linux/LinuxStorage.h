#pragma once
// The storage-control interface on Linux: physical drives are the whole disks
// of sysfs, volumes the mounted block-device filesystems, commands go through
// SG_IO. Nothing is cached: every call reads the machine as it is now.

#include "disk/linux/LinuxBlockDevices.h"
#include "disk/linux/LinuxVolumes.h"
#include "disk/StorageControl.h"

#include <optional>
#include <string>
#include <vector>

class LinuxStorage : public StorageControl {
public:
    explicit LinuxStorage(std::string sysRoot = "/sys", std::string mountInfo = "/proc/self/mountinfo",
                          std::string devRoot = "/dev");

    DeviceHandle open(const std::string& devicePath, AccessMode mode) override;
    void close(DeviceHandle handle) override;
    bool queryBusType(DeviceHandle drive, uint32_t& busType) override;
    bool queryDiskLength(DeviceHandle drive, int64_t& bytes) override;
    bool queryDeviceNumber(DeviceHandle volume, uint32_t& deviceNumber) override;
    bool ataCommand(DeviceHandle drive, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds, uint8_t& status) override;
    bool satCommand(DeviceHandle drive, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds, uint8_t& senseByte0) override;
    uint32_t logicalDrives() override;
    DriveType driveType(const std::string& rootPath) override;
    bool diskFreeSpace(const std::string& rootPath, VolumeSpace& space) override;
    bool systemDirectory(std::string& path) override;
    uint32_t lastError() override;

    // The lettered volumes as they are now.
    std::vector<LinuxVolume> volumes() const;

private:
    std::optional<LinuxVolume> volume(char letter) const;
    std::optional<std::string> deviceOf(DeviceHandle handle);
    bool failWith(int error);

    LinuxBlockDevices blocks_;
    std::string mountInfo_;
    std::string devRoot_;
    int lastError_ = 0;
};
