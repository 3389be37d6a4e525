#include "disk/linux/LinuxStorage.h"

#include "disk/DevicePath.h"
#include "disk/linux/LinuxNvme.h"
#include "disk/linux/LinuxSgIo.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr uint8_t kAtaStatusGood = 0x50;   // DRDY, DSC
constexpr uint8_t kAtaStatusError = 0x51;  // DRDY, DSC, ERR
constexpr uint8_t kSenseFixedCurrent = 0x70;

uint64_t deviceNumber(const std::string& majMin)
{
    unsigned major = 0, minor = 0;
    if (std::sscanf(majMin.c_str(), "%u:%u", &major, &minor) != 2)
        return 0;
    return makedev(major, minor);
}

// How long a writer waits for the commands of readers, and how often it tries.
constexpr auto kReadersWait = std::chrono::seconds(5);
constexpr auto kReadersPoll = std::chrono::milliseconds(10);

// The device an open descriptor is on: its number and the kernel's disk
// sequence number (0 where the kernel has none); false with errno set.
bool descriptorIdentity(int fd, DeviceIdentity& identity)
{
    struct stat status {};
    if (fstat(fd, &status) != 0)
        return false;
    uint64_t sequence = 0;
    if (ioctl(fd, BLKGETDISKSEQ, &sequence) != 0)
        sequence = 0;
    identity = {static_cast<uint64_t>(status.st_rdev), sequence};
    return true;
}
}  // namespace

LinuxStorage::LinuxStorage(std::unique_ptr<MachineReader> reader) : reader_(std::move(reader)) {}

LinuxStorage::~LinuxStorage()
{
    for (const auto& [handle, opened] : handles_)
        if (opened.fd >= 0)
            ::close(opened.fd);
}

bool LinuxStorage::failWith(int error)
{
    lastError_ = error;
    lastFailureLocked_ = false;
    return false;
}

void LinuxStorage::beginEnumeration()
{
    snapshot_ = std::make_unique<LinuxSnapshot>(takeSnapshot(*reader_, numbering_));
}

const LinuxSnapshot& LinuxStorage::snapshot()
{
    if (!snapshot_)
        beginEnumeration();
    return *snapshot_;
}

DeviceHandle LinuxStorage::open(const std::string& devicePath, AccessMode mode)
{
    const auto name = parseDevicePath(devicePath);
    if (!name) {
        failWith(ENOENT);
        return kInvalidHandle;
    }
    if (name->kind == DeviceName::Kind::PhysicalDrive) {
        const std::string disk = numbering_.diskOf(name->diskNum);
        const BlockDevice* found = disk.empty() ? nullptr : snapshot().blocks.byName(disk);
        if (!found) {
            failWith(ENOENT);
            return kInvalidHandle;
        }
        return openDisk(*found, mode);
    }
    // Everything asked of a volume is in the snapshot.
    if (!snapshot().volume(name->letter)) {
        failWith(ENOENT);
        return kInvalidHandle;
    }
    OpenDevice opened;
    opened.letter = name->letter;
    const DeviceHandle handle = nextHandle_++;
    handles_.emplace(handle, opened);
    return handle;
}

DeviceHandle LinuxStorage::openDisk(const BlockDevice& disk, AccessMode mode)
{
    OpenDevice opened;
    opened.disk = disk.name;
    // The bus type and the identity of a query-only handle come from sysfs.
    if (mode != AccessMode::QueryOnly) {
        const std::string node = reader_->devRoot() + "/" + disk.name;
        // Read-only: a close after writing would make udev re-read the
        // disk, and read-only disks could not be opened at all.
        opened.fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
        if (opened.fd < 0) {
            const int error = errno;
            std::fprintf(stderr, "%s: %s\n", node.c_str(), std::strerror(error));
            failWith(error);
            return kInvalidHandle;
        }
        // The node must still be the device sysfs named.
        struct stat status {};
        if (fstat(opened.fd, &status) != 0 || !S_ISBLK(status.st_mode) ||
            status.st_rdev != deviceNumber(disk.majMin)) {
            ::close(opened.fd);
            std::fprintf(stderr, "%s: not the device %s any more\n", node.c_str(), disk.majMin.c_str());
            failWith(ENODEV);
            return kInvalidHandle;
        }
    }
    const DeviceHandle handle = nextHandle_++;
    handles_.emplace(handle, opened);
    return handle;
}

DeviceHandle LinuxStorage::openDevice(const DeviceIdentity& device, AccessMode mode)
{
    // A fresh look at the block devices: the drive's number in any earlier
    // enumeration, here or in another process, does not matter.
    const BlockDevices blocks = BlockDevices::read(*reader_);
    const BlockDevice* disk = blocks.byMajMin(majMinText(device.device));
    if (!disk || !isPhysicalDiskName(disk->name) || !disk->disk.empty() || disk->sequence != device.sequence) {
        failWith(ENODEV);
        return kInvalidHandle;
    }
    const DeviceHandle handle = openDisk(*disk, mode);
    if (handle == kInvalidHandle)
        return kInvalidHandle;
    // What the handle is open on must be that device: its number, and its
    // sequence where the kernel has one.
    DeviceIdentity opened{};
    if (!queryDeviceIdentity(handle, opened) || opened != device) {
        close(handle);
        failWith(ENODEV);
        return kInvalidHandle;
    }
    return handle;
}

void LinuxStorage::close(DeviceHandle handle)
{
    const auto found = handles_.find(handle);
    if (found == handles_.end())
        return;
    if (found->second.fd >= 0)
        ::close(found->second.fd);
    handles_.erase(found);
}

LinuxStorage::OpenDevice* LinuxStorage::device(DeviceHandle handle)
{
    const auto found = handles_.find(handle);
    if (found == handles_.end()) {
        failWith(EBADF);
        return nullptr;
    }
    return &found->second;
}

int LinuxStorage::driveDescriptor(DeviceHandle handle)
{
    const OpenDevice* opened = device(handle);
    if (!opened)
        return -1;
    if (opened->fd < 0)
        failWith(EBADF);
    return opened->fd;
}

bool LinuxStorage::queryBusType(DeviceHandle drive, uint32_t& busType)
{
    const OpenDevice* opened = device(drive);
    if (!opened)
        return false;
    const BlockDevice* disk = snapshot().blocks.byName(opened->disk);
    if (!disk)
        return failWith(ENOTBLK);
    busType = busTypeFromSysfsPath(disk->path);
    return true;
}

bool LinuxStorage::queryDiskLength(DeviceHandle drive, int64_t& bytes)
{
    const int fd = driveDescriptor(drive);
    if (fd < 0)
        return false;
    uint64_t length = 0;
    if (ioctl(fd, BLKGETSIZE64, &length) != 0)
        return failWith(errno);
    bytes = static_cast<int64_t>(length);
    return true;
}

bool LinuxStorage::queryDeviceNumber(DeviceHandle volume, uint32_t& deviceNumber)
{
    const OpenDevice* opened = device(volume);
    if (!opened)
        return false;
    const LinuxVolume* found = snapshot().volume(opened->letter);
    if (!found || found->diskNumber < 0)
        return failWith(ENODEV);
    deviceNumber = static_cast<uint32_t>(found->diskNumber);
    return true;
}

bool LinuxStorage::queryDeviceIdentity(DeviceHandle drive, DeviceIdentity& identity)
{
    const OpenDevice* opened = device(drive);
    if (!opened)
        return false;
    if (opened->fd < 0) {
        const BlockDevice* disk = snapshot().blocks.byName(opened->disk);
        if (!disk)
            return failWith(ENOTBLK);
        identity = {deviceNumber(disk->majMin), disk->sequence};
        return true;
    }
    // What the descriptor itself is open on, whatever sysfs says by now.
    if (!descriptorIdentity(opened->fd, identity))
        return failWith(errno);
    return true;
}

bool LinuxStorage::writes(int fd) const
{
    DeviceIdentity target{};
    if (!descriptorIdentity(fd, target))
        return false;
    for (const auto& entry : handles_) {
        DeviceIdentity locked{};
        if (entry.second.writer && descriptorIdentity(entry.second.fd, locked) && locked == target)
            return true;
    }
    return false;
}

// A drive held against writers for one command: a shared flock on its node,
// which a writer's exclusive one excludes, unless this object is the drive's
// writer itself.
class LinuxStorage::CommandHold {
public:
    CommandHold(LinuxStorage& storage, int fd) : fd_(fd)
    {
        if (storage.writes(fd))
            return;
        if (flock(fd, LOCK_SH | LOCK_NB) == 0) {
            shared_ = true;
            return;
        }
        const int error = errno;
        storage.failWith(error == EWOULDBLOCK ? EBUSY : error);
        storage.lastFailureLocked_ = error == EWOULDBLOCK;
        held_ = false;
    }
    ~CommandHold()
    {
        if (shared_)
            flock(fd_, LOCK_UN);
    }
    CommandHold(const CommandHold&) = delete;
    CommandHold& operator=(const CommandHold&) = delete;
    // False when the command must not go: a writer holds the drive.
    bool held() const { return held_; }

private:
    int fd_;
    bool shared_ = false;
    bool held_ = true;
};

bool LinuxStorage::lockForWriting(DeviceHandle drive)
{
    const int fd = driveDescriptor(drive);
    if (fd < 0)
        return false;
    // The lock udev and the partitioning tools honour as "being written".
    // Readers hold the drive for one command at a time, so the writer tries
    // again for a while; another writer it does not wait for.
    const auto giveUp = std::chrono::steady_clock::now() + kReadersWait;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        const bool onlyReaders = error == EWOULDBLOCK && flock(fd, LOCK_SH | LOCK_NB) == 0;
        if (onlyReaders)
            flock(fd, LOCK_UN);
        if (!onlyReaders || std::chrono::steady_clock::now() >= giveUp) {
            failWith(error);
            lastFailureLocked_ = error == EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(kReadersPoll);
    }
    handles_.at(drive).writer = true;
    return true;
}

bool LinuxStorage::ataCommand(DeviceHandle drive, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                              DataDirection direction, uint32_t timeoutSeconds, AtaTaskFile& returned)
{
    const int fd = driveDescriptor(drive);
    if (fd < 0)
        return false;
    const CommandHold hold(*this, fd);
    if (!hold.held())
        return false;
    const Cdb16 cdb = packAtaPassThrough16(taskFile, direction, length);
    const SgIoResult result = sendSgIo(fd, cdb.data(), cdb.size(), buffer, length, direction, timeoutSeconds);
    if (!result.sent)
        return failWith(result.error);
    // The registers come back in the sense data (always for a non-data
    // command, which asks for them); otherwise only the outcome is known.
    returned = {};
    const auto sense = decodeSense(result.sense.data(), result.senseLength);
    if (sense && sense->ataRegisters)
        returned = *sense->ataRegisters;
    if (sense)
        returned[kReturnedStatus] = ataStatusFromSense(*sense);
    else
        returned[kReturnedStatus] = result.scsiStatus == 0 ? kAtaStatusGood : kAtaStatusError;
    return true;
}

bool LinuxStorage::satCommand(DeviceHandle drive, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                              DataDirection direction, uint32_t timeoutSeconds, SatSense& sense)
{
    const int fd = driveDescriptor(drive);
    if (fd < 0)
        return false;
    const CommandHold hold(*this, fd);
    if (!hold.held())
        return false;
    const SgIoResult result = sendSgIo(fd, cdb.data(), cdb.size(), buffer, length, direction, timeoutSeconds);
    if (!result.sent)
        return failWith(result.error);
    sense = {};
    std::copy(result.sense.begin(), result.sense.begin() + std::min(result.senseLength, sense.size()), sense.begin());
    // A failed command without sense data still fails.
    if (sense[0] == 0 && result.scsiStatus != 0)
        sense[0] = kSenseFixedCurrent;
    return true;
}

bool LinuxStorage::systemName(const std::string& path, std::string& name)
{
    if (const auto letter = parseRootPath(path)) {
        const LinuxVolume* found = snapshot().volume(*letter);
        if (!found || path != rootPath(*letter))
            return failWith(ENOENT);
        name = found->mountPoint;
        return true;
    }
    const auto drive = parseDevicePath(path);
    if (!drive || drive->kind != DeviceName::Kind::PhysicalDrive)
        return failWith(ENOENT);
    const std::string disk = numbering_.diskOf(drive->diskNum);
    if (disk.empty() || !snapshot().blocks.byName(disk))
        return failWith(ENOENT);
    // The name udev gives the kernel's disk, whatever root the machine is read from.
    name = "/dev/" + disk;
    return true;
}

bool LinuxStorage::nvmeAdminCommand(DeviceHandle drive, const NvmeAdminCommand& command, uint8_t* buffer,
                                    uint32_t length, uint32_t timeoutSeconds, uint16_t& status, uint32_t& result)
{
    const int fd = driveDescriptor(drive);
    if (fd < 0)
        return false;
    const CommandHold hold(*this, fd);
    if (!hold.held())
        return false;
    const NvmeIoctlResult answer = sendNvmeAdminCommand(fd, command, buffer, length, timeoutSeconds);
    if (!answer.sent)
        return failWith(answer.error);
    status = answer.status;
    result = answer.result;
    return true;
}

uint32_t LinuxStorage::logicalDrives()
{
    uint32_t mask = 0;
    for (const auto& volume : snapshot().volumes)
        mask |= 1u << (volume.letter - 'A');
    return mask;
}

const LinuxVolume* LinuxStorage::volumeAt(const std::string& root)
{
    const auto letter = parseRootPath(root);
    return letter ? snapshot().volume(*letter) : nullptr;
}

DriveType LinuxStorage::driveType(const std::string& root)
{
    const LinuxVolume* found = volumeAt(root);
    if (!found)
        return DriveType::NoRootDir;
    const BlockDevice* disk = snapshot().blocks.byName(found->wholeDisk);
    return disk && disk->removable ? DriveType::Removable : DriveType::Fixed;
}

bool LinuxStorage::diskFreeSpace(const std::string& root, VolumeSpace& space)
{
    const LinuxVolume* found = volumeAt(root);
    if (!found)
        return failWith(ENOENT);
    struct statvfs figures {};
    if (statvfs(found->mountPoint.c_str(), &figures) != 0)
        return failWith(errno);
    space.availableToCaller = static_cast<uint64_t>(figures.f_bavail) * figures.f_frsize;
    space.total = static_cast<uint64_t>(figures.f_blocks) * figures.f_frsize;
    space.totalFree = static_cast<uint64_t>(figures.f_bfree) * figures.f_frsize;
    return true;
}

bool LinuxStorage::systemDirectory(std::string& path)
{
    const auto letter = snapshot().systemLetter;
    if (!letter)
        return failWith(ENODEV);
    path = rootPath(*letter);
    return true;
}

uint32_t LinuxStorage::lastError()
{
    return static_cast<uint32_t>(lastError_);
}

Failure LinuxStorage::lastFailure()
{
    if (lastFailureLocked_)
        return Failure::Locked;
    if (lastError_ == ENOENT || lastError_ == ENODEV || lastError_ == ENXIO)
        return Failure::Gone;
    return lastError_ == EACCES || lastError_ == EPERM ? Failure::AccessDenied : Failure::Other;
}
