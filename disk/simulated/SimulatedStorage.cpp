#include "disk/simulated/SimulatedStorage.h"

#include "disk/DevicePath.h"
#include "disk/simulated/Sha256.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

// A drive's number and a digest (FNV-1a) of what tells it from another.
DeviceIdentity identityOf(const FleetDrive& drive)
{
    uint64_t digest = 0xcbf29ce484222325ull;
    const auto mix = [&](const void* data, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            digest ^= static_cast<const uint8_t*>(data)[i];
            digest *= 0x100000001b3ull;
        }
    };
    mix(&drive.busType, sizeof drive.busType);
    mix(&drive.length, sizeof drive.length);
    const DriveBehaviour& answers = drive.behaviour;
    if (answers.identify)
        mix(answers.identify->data(), answers.identify->size());
    mix(answers.smartData.data(), answers.smartData.size());
    mix(answers.smartThresholds.data(), answers.smartThresholds.size());
    if (answers.nvmeIdentify)
        mix(answers.nvmeIdentify->data(), answers.nvmeIdentify->size());
    mix(answers.healthLog.data(), answers.healthLog.size());
    return {static_cast<uint64_t>(drive.number), digest};
}

}  // namespace

SimulatedStorage::SimulatedStorage(Fleet fleet) : fleet_(std::move(fleet))
{
    if (const char* log = std::getenv(kDeviceLogVariable))
        logCommandsTo(log);
}

void SimulatedStorage::logCommandsTo(const std::string& path)
{
    deviceLog_ = path;
    deviceLogFailed_ = false;
}

std::unique_ptr<SimulatedStorage> SimulatedStorage::fromFile(const std::string& path)
{
    try {
        return std::make_unique<SimulatedStorage>(loadFleet(path));
    } catch (const FleetError& error) {
        std::fprintf(stderr, "quillfence: fleet file %s: %s; no drives are simulated\n", path.c_str(),
                     error.what());
        return std::make_unique<SimulatedStorage>(Fleet{});
    }
}

bool SimulatedStorage::failWith(uint32_t error)
{
    lastError_ = error;
    lastFailureLocked_ = false;
    return false;
}

bool SimulatedStorage::failLocked()
{
    failWith(kErrorSharingViolation);
    lastFailureLocked_ = true;
    return false;
}

DeviceHandle SimulatedStorage::open(const std::string& devicePath, AccessMode mode)
{
    const auto name = parseDevicePath(devicePath);
    if (!name) {
        failWith(kErrorFileNotFound);
        return kInvalidHandle;
    }
    OpenDevice opened{devicePath, mode, -1, 0};
    if (name->kind == DeviceName::Kind::PhysicalDrive) {
        const FleetDrive* drive = fleet_.drive(name->diskNum);
        if (!drive) {
            failWith(kErrorFileNotFound);
            return kInvalidHandle;
        }
        if (drive->openFails.count(mode)) {
            failWith(kErrorAccessDenied);
            return kInvalidHandle;
        }
        opened.driveNumber = drive->number;
        opened.device = identityOf(*drive);
    } else {
        const FleetVolume* volume = fleet_.volume(name->letter);
        if (!volume) {
            failWith(kErrorFileNotFound);
            return kInvalidHandle;
        }
        if (volume->openFails) {
            failWith(kErrorAccessDenied);
            return kInvalidHandle;
        }
        opened.letter = volume->letter;
    }
    const DeviceHandle handle = nextHandle_++;
    handles_.emplace(handle, opened);
    openLog_.emplace_back(devicePath, mode);
    return handle;
}

void SimulatedStorage::close(DeviceHandle handle)
{
    for (auto writer = writers_.begin(); writer != writers_.end();)
        writer = writer->second == handle ? writers_.erase(writer) : std::next(writer);
    handles_.erase(handle);
}

const SimulatedStorage::OpenDevice* SimulatedStorage::device(DeviceHandle handle)
{
    auto found = handles_.find(handle);
    if (found == handles_.end()) {
        failWith(kErrorInvalidHandle);
        return nullptr;
    }
    return &found->second;
}

const FleetDrive* SimulatedStorage::openedDrive(DeviceHandle handle)
{
    const OpenDevice* opened = device(handle);
    if (!opened)
        return nullptr;
    if (opened->driveNumber < 0) {
        failWith(kErrorInvalidFunction);
        return nullptr;
    }
    return fleet_.drive(opened->driveNumber);
}

bool SimulatedStorage::queryBusType(DeviceHandle handle, uint32_t& busType)
{
    const FleetDrive* drive = openedDrive(handle);
    if (!drive)
        return false;
    if (drive->busTypeFails)
        return failWith(kErrorInvalidFunction);
    busType = drive->busType;
    return true;
}

bool SimulatedStorage::queryDiskLength(DeviceHandle handle, int64_t& bytes)
{
    const FleetDrive* drive = openedDrive(handle);
    if (!drive)
        return false;
    // The length query needs read access, which a query-only handle lacks.
    if (handles_.at(handle).mode == AccessMode::QueryOnly)
        return failWith(kErrorAccessDenied);
    if (drive->lengthFails)
        return failWith(kErrorInvalidFunction);
    bytes = drive->length;
    return true;
}

bool SimulatedStorage::queryDeviceNumber(DeviceHandle handle, uint32_t& deviceNumber)
{
    const OpenDevice* opened = device(handle);
    if (!opened)
        return false;
    const FleetVolume* volume = opened->letter ? fleet_.volume(opened->letter) : nullptr;
    if (!volume || volume->deviceNumberFails || volume->drives.size() != 1)
        return failWith(kErrorInvalidFunction);
    deviceNumber = static_cast<uint32_t>(volume->drives.front());
    return true;
}

const FleetDrive* SimulatedStorage::commandDrive(DeviceHandle handle)
{
    const FleetDrive* drive = openedDrive(handle);
    if (drive && handles_.at(handle).mode == AccessMode::QueryOnly) {
        failWith(kErrorAccessDenied);
        return nullptr;
    }
    // The drive the handle was opened on was replaced: it is gone.
    if (drive && identityOf(*drive) != handles_.at(handle).device) {
        failWith(kErrorFileNotFound);
        return nullptr;
    }
    if (drive && drive->lockedElsewhere) {
        failLocked();
        return nullptr;
    }
    return drive;
}

bool SimulatedStorage::openDeviceLog(DeviceLogFile& log)
{
    if (deviceLog_.empty())
        return true;
    if (deviceLogFailed_)
        return false;
    if (log.open(deviceLog_))
        return true;
    deviceLogFails(log.error());
    return false;
}

void SimulatedStorage::deviceLogFails(const std::string& why)
{
    std::fprintf(stderr, "quillfence: device log %s: %s; the simulated drives refuse every command from now on\n",
                 deviceLog_.c_str(), why.c_str());
    deviceLogFailed_ = true;
}

bool SimulatedStorage::record(DeviceLogFile& log, int drive, CommandRoute route, const uint8_t* block,
                              size_t blockLength, const uint8_t* buffer, uint32_t length, DataDirection direction,
                              bool accepted)
{
    ReceivedCommand command;
    command.drive = drive;
    command.route = route;
    command.block.assign(block, block + blockLength);
    command.direction = direction;
    command.length = length;
    if (direction == DataDirection::Out)
        command.dataSha256 = Sha256Hex(buffer, length);
    command.accepted = accepted;
    const bool logged = deviceLog_.empty() || log.write(DeviceLogLine(command));
    received_.push_back(std::move(command));
    if (!logged)
        deviceLogFails(log.error());
    if (afterCommand_)
        afterCommand_();
    return logged;
}

bool SimulatedStorage::refuse(DeviceLogFile& log, int drive, CommandRoute route, const uint8_t* block,
                              size_t blockLength, const uint8_t* buffer, uint32_t length, DataDirection direction)
{
    const bool logged = record(log, drive, route, block, blockLength, buffer, length, direction, false);
    return failWith(logged ? kErrorNotSupported : kErrorWriteFault);
}

bool SimulatedStorage::ataCommand(DeviceHandle handle, const AtaTaskFile& taskFile, uint8_t* buffer,
                                  uint32_t length, DataDirection direction, uint32_t, AtaTaskFile& returned)
{
    const FleetDrive* drive = commandDrive(handle);
    if (!drive)
        return false;
    DeviceLogFile log;
    if (!openDeviceLog(log))
        return failWith(kErrorWriteFault);
    // A USB bridge and an NVMe drive take no ATA task files: the request
    // itself is refused.
    if (drive->busType == kBusTypeUsb || drive->busType == kBusTypeNvme)
        return refuse(log, drive->number, CommandRoute::Ata, taskFile.data(), taskFile.size(), buffer, length,
                      direction);
    const AtaRegisters registers = ataRegisters(taskFile);
    uint8_t count = 0;
    const bool done = driveStates_[drive->number].execute(drive->behaviour, registers, buffer, length, direction, count);
    if (!record(log, drive->number, CommandRoute::Ata, taskFile.data(), taskFile.size(), buffer, length, direction,
                done))
        return failWith(kErrorWriteFault);
    returned = {static_cast<uint8_t>(done ? 0 : kErrorAbort), count, registers.lbaLow, registers.lbaMid,
                registers.lbaHigh, registers.device, done ? kStatusGood : kStatusError, 0};
    return true;
}

bool SimulatedStorage::satCommand(DeviceHandle handle, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                                  DataDirection direction, uint32_t, SatSense& sense)
{
    const FleetDrive* drive = commandDrive(handle);
    if (!drive)
        return false;
    DeviceLogFile log;
    if (!openDeviceLog(log))
        return failWith(kErrorWriteFault);
    bool done = false;
    uint8_t count = 0;
    // Only a USB bridge translates SAT commands; a SATA drive answers with sense data.
    const auto registers = satRegisters(cdb, direction, length);
    if (drive->busType == kBusTypeUsb && registers)
        done = driveStates_[drive->number].execute(drive->behaviour, *registers, buffer, length, direction, count);
    // A command with CK_COND gets its registers back, as SAT's ATA Status
    // Return descriptor: "ATA pass through information available".
    const bool returnRegisters = done && (cdb[2] & kSatCheckCondition);
    sense = {};
    if (returnRegisters) {
        const uint8_t answer[] = {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 14,
                                  0x09, 12, 0, 0x00, 0, count, 0, registers->lbaLow, 0, registers->lbaMid,
                                  0, registers->lbaHigh, registers->device, kStatusGood};
        std::copy(std::begin(answer), std::end(answer), sense.begin());
    } else if (!done || drive->senseOnSuccess) {
        sense[0] = kSenseFixedCurrent;
        sense[2] = done ? 0x01 : 0x0B;  // RECOVERED ERROR, ABORTED COMMAND
        sense[7] = 10;                  // additional length
    }
    const bool accepted = done && (returnRegisters || !drive->senseOnSuccess);
    if (!record(log, drive->number, CommandRoute::Sat, cdb.data(), cdb.size(), buffer, length, direction, accepted))
        return failWith(kErrorWriteFault);
    return true;
}

bool SimulatedStorage::nvmeAdminCommand(DeviceHandle handle, const NvmeAdminCommand& command, uint8_t* buffer,
                                        uint32_t length, uint32_t, uint16_t& status, uint32_t& result)
{
    const FleetDrive* drive = commandDrive(handle);
    if (!drive)
        return false;
    DeviceLogFile log;
    if (!openDeviceLog(log))
        return failWith(kErrorWriteFault);
    const std::vector<uint8_t> block = NvmeCommandBytes(command);
    if (drive->busType != kBusTypeNvme)
        return refuse(log, drive->number, CommandRoute::Nvme, block.data(), block.size(), buffer, length,
                      DataDirection::In);
    const uint16_t answer = driveStates_[drive->number].executeNvme(drive->behaviour, command, buffer, length);
    if (!record(log, drive->number, CommandRoute::Nvme, block.data(), block.size(), buffer, length,
                DataDirection::In, answer == kNvmeStatusSuccess))
        return failWith(kErrorWriteFault);
    status = answer;
    result = 0;
    return true;
}

bool SimulatedStorage::queryDeviceIdentity(DeviceHandle handle, DeviceIdentity& identity)
{
    if (!openedDrive(handle))
        return false;
    identity = handles_.at(handle).device;
    return true;
}

DeviceHandle SimulatedStorage::openDevice(const DeviceIdentity& device, AccessMode mode)
{
    for (const FleetDrive& drive : fleet_.drives)
        if (identityOf(drive) == device)
            return open(physicalDrivePath(drive.number), mode);
    failWith(kErrorFileNotFound);
    return kInvalidHandle;
}

bool SimulatedStorage::lockForWriting(DeviceHandle handle)
{
    const FleetDrive* drive = openedDrive(handle);
    if (!drive)
        return false;
    const auto holder = writers_.find(drive->number);
    if (drive->lockedElsewhere || (holder != writers_.end() && holder->second != handle))
        return failLocked();
    writers_[drive->number] = handle;
    return true;
}

bool SimulatedStorage::systemName(const std::string& path, std::string& name)
{
    if (const auto letter = parseRootPath(path)) {
        const FleetVolume* volume = fleet_.volume(*letter);
        if (!volume || volume->mountPoint.empty() || path != rootPath(*letter))
            return failWith(kErrorFileNotFound);
        name = volume->mountPoint;
        return true;
    }
    // A simulated drive is named as on the Windows machine the fleet describes.
    const auto drive = parseDevicePath(path);
    if (!drive || drive->kind != DeviceName::Kind::PhysicalDrive || !fleet_.drive(drive->diskNum))
        return failWith(kErrorFileNotFound);
    name = path;
    return true;
}

uint32_t SimulatedStorage::logicalDrives()
{
    if (fleet_.noLogicalDrives)
        return 0;
    uint32_t mask = 0;
    for (const auto& volume : fleet_.volumes)
        mask |= 1u << (volume.letter - 'A');
    return mask;
}

DriveType SimulatedStorage::driveType(const std::string& root)
{
    const auto letter = parseRootPath(root);
    const FleetVolume* volume = letter ? fleet_.volume(*letter) : nullptr;
    return volume ? volume->type : DriveType::NoRootDir;
}

bool SimulatedStorage::diskFreeSpace(const std::string& root, VolumeSpace& space)
{
    const auto letter = parseRootPath(root);
    const FleetVolume* volume = letter ? fleet_.volume(*letter) : nullptr;
    if (!volume)
        return failWith(kErrorFileNotFound);
    if (volume->freeSpaceFails)
        return failWith(kErrorAccessDenied);
    space = {volume->free, volume->total, volume->totalFree};
    return true;
}

bool SimulatedStorage::systemDirectory(std::string& path)
{
    if (fleet_.systemDirectoryFails)
        return failWith(kErrorInsufficientBuffer);
    path = fleet_.systemDirectory;
    return true;
}

uint32_t SimulatedStorage::lastError()
{
    return lastError_;
}

Failure SimulatedStorage::lastFailure()
{
    if (lastFailureLocked_)
        return Failure::Locked;
    if (lastError_ == kErrorFileNotFound)
        return Failure::Gone;
    return lastError_ == kErrorAccessDenied ? Failure::AccessDenied : Failure::Other;
}
