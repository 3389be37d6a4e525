#pragma once
// One simulated machine shared by helpers that run as threads of a test.
// Real helpers are processes, each with a storage object of its own, and the
// kernel orders their calls; threads calling one SimulatedStorage at once
// would race on its tables. Each helper thread therefore reaches the machine
// through its own SerializedStorage: every call runs under the machine's
// mutex, and the error of the call stays with the helper that made it.

#include "disk/StorageControl.h"

#include <mutex>
#include <type_traits>

class SerializedStorage : public StorageControl {
    // Defined first: the overrides below deduce their results from it.
    template <typename Call>
    auto call(Call&& machineCall)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        if constexpr (std::is_void_v<decltype(machineCall())>) {
            machineCall();
            keepError();
        } else {
            auto result = machineCall();
            keepError();
            return result;
        }
    }
    void keepError()
    {
        lastError_ = machine_.lastError();
        lastFailure_ = machine_.lastFailure();
    }

public:
    SerializedStorage(StorageControl& machine, std::recursive_mutex& mutex) : machine_(machine), mutex_(mutex) {}

    DeviceHandle open(const std::string& devicePath, AccessMode mode) override
    {
        return call([&] { return machine_.open(devicePath, mode); });
    }
    void close(DeviceHandle handle) override { call([&] { machine_.close(handle); }); }
    bool queryBusType(DeviceHandle drive, uint32_t& busType) override
    {
        return call([&] { return machine_.queryBusType(drive, busType); });
    }
    bool queryDiskLength(DeviceHandle drive, int64_t& bytes) override
    {
        return call([&] { return machine_.queryDiskLength(drive, bytes); });
    }
    bool queryDeviceNumber(DeviceHandle volume, uint32_t& deviceNumber) override
    {
        return call([&] { return machine_.queryDeviceNumber(volume, deviceNumber); });
    }
    bool ataCommand(DeviceHandle drive, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds, AtaTaskFile& returned) override
    {
        return call([&] {
            return machine_.ataCommand(drive, taskFile, buffer, length, direction, timeoutSeconds, returned);
        });
    }
    bool satCommand(DeviceHandle drive, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds, SatSense& sense) override
    {
        return call([&] { return machine_.satCommand(drive, cdb, buffer, length, direction, timeoutSeconds, sense); });
    }
    bool nvmeAdminCommand(DeviceHandle drive, const NvmeAdminCommand& command, uint8_t* buffer, uint32_t length,
                          uint32_t timeoutSeconds, uint16_t& status, uint32_t& result) override
    {
        return call([&] {
            return machine_.nvmeAdminCommand(drive, command, buffer, length, timeoutSeconds, status, result);
        });
    }
    bool queryDeviceIdentity(DeviceHandle drive, DeviceIdentity& identity) override
    {
        return call([&] { return machine_.queryDeviceIdentity(drive, identity); });
    }
    DeviceHandle openDevice(const DeviceIdentity& device, AccessMode mode) override
    {
        return call([&] { return machine_.openDevice(device, mode); });
    }
    bool lockForWriting(DeviceHandle drive) override
    {
        return call([&] { return machine_.lockForWriting(drive); });
    }
    void beginEnumeration() override { call([&] { machine_.beginEnumeration(); }); }
    void retryAuthorisation() override { call([&] { machine_.retryAuthorisation(); }); }
    bool systemName(const std::string& path, std::string& name) override
    {
        return call([&] { return machine_.systemName(path, name); });
    }
    uint32_t logicalDrives() override { return call([&] { return machine_.logicalDrives(); }); }
    DriveType driveType(const std::string& rootPath) override
    {
        return call([&] { return machine_.driveType(rootPath); });
    }
    bool diskFreeSpace(const std::string& rootPath, VolumeSpace& space) override
    {
        return call([&] { return machine_.diskFreeSpace(rootPath, space); });
    }
    bool systemDirectory(std::string& path) override
    {
        return call([&] { return machine_.systemDirectory(path); });
    }
    uint32_t lastError() override { return lastError_; }
    Failure lastFailure() override { return lastFailure_; }

private:
    StorageControl& machine_;
    std::recursive_mutex& mutex_;
    uint32_t lastError_ = 0;
    Failure lastFailure_ = Failure::Other;
};
