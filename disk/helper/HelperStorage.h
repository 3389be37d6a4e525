#pragma once
// The storage-control interface served by quillfence-helper: the window and
// the CLI, running as the user, forward every operation to the privileged
// helper. The helper is started on the first operation through the
// launcher (pkexec, with polkit's action "read drives"); a writer's lock
// starts a second helper for the firmware update (its own action, asked
// every time). That helper is told the device the reading helper opened
// (its number and disk sequence), not a drive number, which the two
// processes may give to different disks; it opens and locks that device.
// The transfer's commands go to it by that device (openDevice) until the
// lock's handle is closed, when the helper ends.
//
// When an authorisation is refused or cancelled, operations fail with
// Failure::NotAuthorised and no new one is asked for until
// retryAuthorisation(). When a helper dies, the handles it served fail;
// the next operation that needs the reading helper starts a new one.

#include "disk/StorageControl.h"
#include "disk/helper/HelperConnection.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class HelperStorage : public StorageControl {
public:
    // Starts a helper in a mode (kReadMode, kFirmwareMode); nothing when it
    // did not start.
    using Starter = std::function<std::unique_ptr<HelperConnection>(const std::string& mode)>;
    // Starts `launcher... helper mode` (pkexec and the installed helper).
    static Starter launching(std::vector<std::string> launcher, std::string helper);

    explicit HelperStorage(Starter start);
    ~HelperStorage() override;

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
    // The locked drive through the firmware update's helper; any other is
    // looked for among the reading helper's drive numbers.
    DeviceHandle openDevice(const DeviceIdentity& device, AccessMode mode) override;
    bool lockForWriting(DeviceHandle drive) override;
    void beginEnumeration() override;
    void retryAuthorisation() override;
    bool systemName(const std::string& path, std::string& name) override;
    uint32_t logicalDrives() override;
    DriveType driveType(const std::string& rootPath) override;
    bool diskFreeSpace(const std::string& rootPath, VolumeSpace& space) override;
    bool systemDirectory(std::string& path) override;
    uint32_t lastError() override;
    Failure lastFailure() override;

private:
    using Connection = std::shared_ptr<HelperConnection>;
    // A handle of a helper. It keeps its connection, which fails every call
    // once that helper is gone.
    struct Remote {
        Connection connection;
        DeviceHandle handle;
    };
    // The reading helper, started when first needed; null when refused.
    HelperConnection* reader();
    // Opens the locked drive again through the firmware update's helper.
    DeviceHandle openLocked(AccessMode mode);
    // One request on `connection`; the reply's values after its head, or
    // nothing when the operation failed (the failure is kept).
    bool call(HelperConnection* connection, const std::vector<uint8_t>& request, std::vector<uint8_t>& values);
    const Remote* remote(DeviceHandle handle);
    // One drive command; `answer` receives the reply's fixed-size part (the
    // returned registers or the sense data).
    bool command(DeviceHandle drive, uint8_t op, const uint8_t* block, size_t blockLength, uint8_t* buffer,
                 uint32_t length, DataDirection direction, uint32_t timeoutSeconds, uint8_t* answer,
                 size_t answerLength);
    bool fail(uint32_t error, Failure failure);

    Starter start_;
    Connection reader_;
    bool refused_ = false;
    Connection writer_;  // while a drive's lock is held
    DeviceHandle lockHandle_ = kInvalidHandle;
    DeviceIdentity lockDevice_{};  // the device locked
    std::map<DeviceHandle, Remote> handles_;
    DeviceHandle nextHandle_ = 1;
    uint32_t lastError_ = 0;
    Failure lastFailure_ = Failure::Other;
};
