#include "disk/linux/LinuxStorage.h"
#include "disk/StorageBackend.h"

#include "disk/DevicePath.h"
#include "disk/linux/LinuxSgIo.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
constexpr uint8_t kAtaStatusGood = 0x50;   // DRDY, DSC
constexpr uint8_t kAtaStatusError = 0x51;  // DRDY, DSC, ERR
constexpr uint8_t kSenseFixedCurrent = 0x70;
}  // namespace

std::unique_ptr<StorageControl> makePlatformStorage()
{
    return std::make_unique<LinuxStorage>();
}

LinuxStorage::LinuxStorage(std::string sysRoot, std::string mountInfo, std::string devRoot)
    : blocks_(std::move(sysRoot)), mountInfo_(std::move(mountInfo)), devRoot_(std::move(devRoot))
{
}

bool LinuxStorage::failWith(int error)
{
    lastError_ = error;
    return false;
}

std::vector<LinuxVolume> LinuxStorage::volumes() const
{
    std::ifstream file(mountInfo_);
    std::stringstream text;
    text << file.rdbuf();
    return letterVolumes(parseMountInfo(text.str()), blocks_.physicalDisks(), [this](const std::string& majMin) {
        BlockDeviceFacts facts;
        facts.isBlockDevice = blocks_.exists(majMin);
        if (facts.isBlockDevice) {
            facts.wholeDisks = blocks_.wholeDisks(majMin);
            facts.partition = blocks_.partitionNumber(majMin);
        }
        return facts;
    });
}

std::optional<LinuxVolume> LinuxStorage::volume(char letter) const
{
    for (const auto& volume : volumes())
        if (volume.letter == letter)
            return volume;
    return std::nullopt;
}

DeviceHandle LinuxStorage::open(const std::string& devicePath, AccessMode mode)
{
    const auto name = parseDevicePath(devicePath);
    if (!name) {
        failWith(ENOENT);
        return kInvalidHandle;
    }
    std::string node;
    if (name->kind == DeviceName::Kind::PhysicalDrive) {
        const auto disks = blocks_.physicalDisks();
        if (name->diskNum < 0 || name->diskNum >= static_cast<int>(disks.size())) {
            failWith(ENOENT);
            return kInvalidHandle;
        }
        node = devRoot_ + "/" + disks[name->diskNum];
    } else {
        const auto found = volume(name->letter);
        if (!found) {
            failWith(ENOENT);
            return kInvalidHandle;
        }
        node = devRoot_ + "/" + blocks_.devName(found->majMin);
    }
    const int flags = mode == AccessMode::QueryOnly ? O_RDONLY | O_NONBLOCK : O_RDWR;
    const int fd = ::open(node.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        failWith(errno);
        return kInvalidHandle;
    }
    return fd;
}

void LinuxStorage::close(DeviceHandle handle)
{
    ::close(static_cast<int>(handle));
}

// The "MAJ:MIN" of the block device behind a handle.
std::optional<std::string> LinuxStorage::deviceOf(DeviceHandle handle)
{
    struct stat status {};
    if (fstat(static_cast<int>(handle), &status) != 0) {
        failWith(errno);
        return std::nullopt;
    }
    if (!S_ISBLK(status.st_mode)) {
        failWith(ENOTBLK);
        return std::nullopt;
    }
    return majMinText(status.st_rdev);
}

bool LinuxStorage::queryBusType(DeviceHandle drive, uint32_t& busType)
{
    const auto device = deviceOf(drive);
    if (!device)
        return false;
    const std::string path = blocks_.devicePath(blocks_.name(*device));
    if (path.empty())
        return failWith(ENODEV);
    busType = busTypeFromSysfsPath(path);
    return true;
}

bool LinuxStorage::queryDiskLength(DeviceHandle drive, int64_t& bytes)
{
    uint64_t length = 0;
    if (ioctl(static_cast<int>(drive), BLKGETSIZE64, &length) != 0)
        return failWith(errno);
    bytes = static_cast<int64_t>(length);
    return true;
}

bool LinuxStorage::queryDeviceNumber(DeviceHandle volume, uint32_t& deviceNumber)
{
    const auto device = deviceOf(volume);
    if (!device)
        return false;
    const auto disks = blocks_.wholeDisks(*device);
    if (disks.size() != 1)
        return failWith(ENODEV);
    const auto physical = blocks_.physicalDisks();
    const auto at = std::find(physical.begin(), physical.end(), disks.front());
    if (at == physical.end())
        return failWith(ENODEV);
    deviceNumber = static_cast<uint32_t>(at - physical.begin());
    return true;
}

bool LinuxStorage::ataCommand(DeviceHandle drive, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                              DataDirection direction, uint32_t timeoutSeconds, uint8_t& status)
{
    const Cdb16 cdb = packAtaPassThrough16(taskFile, direction, length);
    const SgIoResult result =
        sendSgIo(static_cast<int>(drive), cdb.data(), cdb.size(), buffer, length, direction, timeoutSeconds);
    if (!result.sent)
        return failWith(result.error);
    const auto sense = decodeSense(result.sense.data(), result.senseLength);
    if (sense)
        status = ataStatusFromSense(*sense);
    else
        status = result.scsiStatus == 0 ? kAtaStatusGood : kAtaStatusError;
    return true;
}

bool LinuxStorage::satCommand(DeviceHandle drive, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                              DataDirection direction, uint32_t timeoutSeconds, uint8_t& senseByte0)
{
    const SgIoResult result =
        sendSgIo(static_cast<int>(drive), cdb.data(), cdb.size(), buffer, length, direction, timeoutSeconds);
    if (!result.sent)
        return failWith(result.error);
    senseByte0 = result.senseLength > 0 ? result.sense[0] : 0;
    // A failed command without sense data still fails.
    if (senseByte0 == 0 && result.scsiStatus != 0)
        senseByte0 = kSenseFixedCurrent;
    return true;
}

uint32_t LinuxStorage::logicalDrives()
{
    uint32_t mask = 0;
    for (const auto& volume : volumes())
        mask |= 1u << (volume.letter - 'A');
    return mask;
}

DriveType LinuxStorage::driveType(const std::string& root)
{
    const auto letter = parseRootPath(root);
    const auto found = letter ? volume(*letter) : std::nullopt;
    if (!found)
        return DriveType::NoRootDir;
    if (!found->wholeDisk.empty() && blocks_.removable(found->wholeDisk))
        return DriveType::Removable;
    return DriveType::Fixed;
}

bool LinuxStorage::diskFreeSpace(const std::string& root, VolumeSpace& space)
{
    const auto letter = parseRootPath(root);
    const auto found = letter ? volume(*letter) : std::nullopt;
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
    // The system volume is the one that holds "/".
    struct stat root {};
    if (stat("/", &root) != 0)
        return failWith(errno);
    const std::string device = majMinText(root.st_dev);
    for (const auto& volume : volumes()) {
        if (volume.majMin == device) {
            path = rootPath(volume.letter);
            return true;
        }
    }
    return failWith(ENODEV);
}

uint32_t LinuxStorage::lastError()
{
    return static_cast<uint32_t>(lastError_);
}
