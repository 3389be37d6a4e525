#pragma once
// The storage-control interface over a simulated fleet of drives, for tests
// and the demo. Handles, modes and failures behave as the real interface's.
// Every ATA, SAT or NVMe command a drive receives is recorded and, when the
// environment variable QUILLFENCE_DEVICE_LOG names a file, appended to it.
// A log is a test aid that must not fall silent: once it cannot be written,
// the command at hand and every later one are refused (the request fails with
// kErrorWriteFault), and deviceLogFailed() tells the run to fail.

#include "disk/simulated/DeviceLog.h"
#include "disk/simulated/Fleet.h"
#include "disk/StorageControl.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class SimulatedStorage : public StorageControl {
public:
    // The error numbers the simulation reports through lastError(), the
    // platform's own as its real interface reports them (Windows error
    // numbers, errno values on Linux), so that they read the same in the
    // diagnostics. Defined in the platform's file.
    static const uint32_t kErrorInvalidFunction;     // the device takes no such request
    static const uint32_t kErrorFileNotFound;
    static const uint32_t kErrorAccessDenied;
    static const uint32_t kErrorInvalidHandle;
    static const uint32_t kErrorWriteFault;
    static const uint32_t kErrorSharingViolation;    // another writer holds the drive
    static const uint32_t kErrorNotSupported;
    static const uint32_t kErrorInsufficientBuffer;  // the answer does not fit

    // Status register of a completed and of an aborted ATA command.
    static constexpr uint8_t kStatusGood = 0x50;
    static constexpr uint8_t kStatusError = 0x51;
    // Error register of an aborted command: ABRT.
    static constexpr uint8_t kErrorAbort = 0x04;
    // First sense byte of a bridge reporting a failure (fixed format, current).
    static constexpr uint8_t kSenseFixedCurrent = 0x70;
    // CK_COND in byte 2 of an ATA PASS-THROUGH command: return the registers.
    static constexpr uint8_t kSatCheckCondition = 0x20;

    explicit SimulatedStorage(Fleet fleet);
    // The fleet of a file; a file that cannot be used is reported on standard
    // error and gives an empty machine.
    static std::unique_ptr<SimulatedStorage> fromFile(const std::string& path);

    DeviceHandle open(const std::string& devicePath, AccessMode mode) override;
    void close(DeviceHandle handle) override;
    bool queryBusType(DeviceHandle drive, uint32_t& busType) override;
    bool queryDiskLength(DeviceHandle drive, int64_t& bytes) override;
    bool queryDeviceNumber(DeviceHandle volume, uint32_t& deviceNumber) override;
    bool ataCommand(DeviceHandle drive, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds, AtaTaskFile& returned) override;
    bool satCommand(DeviceHandle drive, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                    DataDirection direction, uint32_t timeoutSeconds, SatSense& sense) override;
    // Only an NVMe drive takes NVMe admin commands; it takes no ATA task
    // files, as a USB bridge takes none.
    bool nvmeAdminCommand(DeviceHandle drive, const NvmeAdminCommand& command, uint8_t* buffer, uint32_t length,
                          uint32_t timeoutSeconds, uint16_t& status, uint32_t& result) override;
    // A drive's identity is its number and a digest of how the fleet
    // describes it: a drive replaced by another under the same number
    // changes it, a fleet read again unchanged does not. A handle stays with
    // the drive it was opened on, as a descriptor does: once that drive is
    // replaced, the handle's commands fail (the device is gone).
    bool queryDeviceIdentity(DeviceHandle drive, DeviceIdentity& identity) override;
    DeviceHandle openDevice(const DeviceIdentity& device, AccessMode mode) override;
    // Writers' locks are held within this process; a drive the fleet says
    // is `locked` is held by another program.
    bool lockForWriting(DeviceHandle drive) override;
    bool systemName(const std::string& path, std::string& name) override;
    uint32_t logicalDrives() override;
    DriveType driveType(const std::string& rootPath) override;
    bool diskFreeSpace(const std::string& rootPath, VolumeSpace& space) override;
    bool systemDirectory(std::string& path) override;
    uint32_t lastError() override;
    Failure lastFailure() override;

    Fleet& fleet() { return fleet_; }
    // Handles opened and not yet closed.
    size_t openHandles() const { return handles_.size(); }
    // What drive `number` has received so far.
    const SimulatedDrive& driveState(int number) { return driveStates_[number]; }
    // Every successful open, in order: the path and its mode.
    const std::vector<std::pair<std::string, AccessMode>>& openLog() const { return openLog_; }
    // Every command a drive received, in order.
    const std::vector<ReceivedCommand>& received() const { return received_; }
    // Appends a line per command to the file at `path` from now on (empty:
    // none); the log named by QUILLFENCE_DEVICE_LOG is set this way at start.
    void logCommandsTo(const std::string& path);
    // True once the log could not be written: commands are refused since.
    bool deviceLogFailed() const { return deviceLogFailed_; }
    // Runs `hook` after every command a drive received (tests change the
    // fleet there, as a machine changes under a running program).
    void afterEachCommand(std::function<void()> hook) { afterCommand_ = std::move(hook); }

private:
    struct OpenDevice {
        std::string path;
        AccessMode mode;
        int driveNumber;  // -1 for a volume
        char letter;      // 0 for a drive
        DeviceIdentity device{};  // the drive it was opened on
    };
    const OpenDevice* device(DeviceHandle handle);
    const FleetDrive* openedDrive(DeviceHandle handle);
    // The drive behind a handle opened for commands (not query-only), when
    // no other program is writing to it.
    const FleetDrive* commandDrive(DeviceHandle handle);
    bool failWith(uint32_t error);
    bool failLocked();
    // Opens the log for the line of the command about to run; false when the
    // command must be refused.
    bool openDeviceLog(DeviceLogFile& log);
    void deviceLogFails(const std::string& why);
    // Records a command the drive ran and writes its log line; false when the
    // line could not be written.
    bool record(DeviceLogFile& log, int drive, CommandRoute route, const uint8_t* block, size_t blockLength,
                const uint8_t* buffer, uint32_t length, DataDirection direction, bool accepted);
    // Records a command the drive cannot take on its route, and fails the
    // request as the system would (not supported).
    bool refuse(DeviceLogFile& log, int drive, CommandRoute route, const uint8_t* block, size_t blockLength,
                const uint8_t* buffer, uint32_t length, DataDirection direction);

    Fleet fleet_;
    std::map<DeviceHandle, OpenDevice> handles_;
    std::map<int, SimulatedDrive> driveStates_;
    std::map<int, DeviceHandle> writers_;  // drive number -> the handle holding its lock
    bool lastFailureLocked_ = false;
    DeviceHandle nextHandle_ = 100;
    uint32_t lastError_ = 0;
    std::vector<std::pair<std::string, AccessMode>> openLog_;
    std::vector<ReceivedCommand> received_;
    std::string deviceLog_;          // empty: no log file
    bool deviceLogFailed_ = false;
    std::function<void()> afterCommand_;
};
