#include "disk/windows/WindowsStorage.h"
#include "disk/StorageBackend.h"

#include "disk/DevicePath.h"
#include "disk/windows/WindowsApi.h"
#include "disk/windows/WindowsRequestBlocks.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
// The storage descriptor is asked for with a buffer of this size, which
// leaves room for the identification strings that follow the descriptor.
constexpr DWORD kDescriptorBufferSize = 551;

HANDLE nativeHandle(DeviceHandle handle)
{
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}

struct OpenFlags {
    DWORD access;
    DWORD attributes;
};

OpenFlags openFlags(AccessMode mode)
{
    switch (mode) {
    case AccessMode::QueryOnly:
        return {0, 0};
    case AccessMode::ReadWriteNoBuffering:
        return {GENERIC_READ | GENERIC_WRITE, FILE_FLAG_NO_BUFFERING};
    case AccessMode::ReadWrite:
        break;
    }
    return {GENERIC_READ | GENERIC_WRITE, 0};
}

// One request whose answer is `outSize` bytes at `out`.
bool control(DeviceHandle device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize)
{
    DWORD returned = 0;
    return DeviceIoControl(nativeHandle(device), code, in, inSize, out, outSize, &returned, nullptr) != 0;
}
// The storage stack's device type and number of an opened drive or volume.
bool storageDeviceNumber(DeviceHandle device, STORAGE_DEVICE_NUMBER& number)
{
    return control(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number);
}

// The name of the object that is a drive's writer's lock, shared by every
// process of the program.
std::string writerLockName(const STORAGE_DEVICE_NUMBER& number)
{
    return "Global\\QvtQuillfenceDrive" + std::to_string(number.DeviceNumber);
}
}  // namespace

std::unique_ptr<StorageControl> makePlatformStorage()
{
    return std::make_unique<WindowsStorage>();
}

DeviceHandle WindowsStorage::open(const std::string& devicePath, AccessMode mode)
{
    lastFailureLocked_ = false;
    const OpenFlags flags = openFlags(mode);
    const HANDLE handle = CreateFileA(devicePath.c_str(), flags.access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, flags.attributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return kInvalidHandle;
    return static_cast<DeviceHandle>(reinterpret_cast<intptr_t>(handle));
}

void WindowsStorage::close(DeviceHandle handle)
{
    const auto lock = writerLocks_.find(handle);
    if (lock != writerLocks_.end()) {
        CloseHandle(lock->second);
        writerLocks_.erase(lock);
    }
    CloseHandle(nativeHandle(handle));
}

bool WindowsStorage::queryBusType(DeviceHandle drive, uint32_t& busType)
{
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    // The descriptor's Size announces the buffer to the driver.
    std::vector<uint8_t> answer(kDescriptorBufferSize);
    const DWORD size = kDescriptorBufferSize;
    std::memcpy(answer.data() + offsetof(STORAGE_DEVICE_DESCRIPTOR, Size), &size, sizeof size);
    if (!control(drive, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, answer.data(), kDescriptorBufferSize))
        return false;
    STORAGE_BUS_TYPE type{};
    std::memcpy(&type, answer.data() + offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType), sizeof type);
    busType = static_cast<uint32_t>(type);
    return true;
}

bool WindowsStorage::queryDiskLength(DeviceHandle drive, int64_t& bytes)
{
    PARTITION_INFORMATION_EX partition{};
    if (!control(drive, IOCTL_DISK_GET_PARTITION_INFO_EX, nullptr, 0, &partition, sizeof partition))
        return false;
    bytes = partition.PartitionLength.QuadPart;
    return true;
}

bool WindowsStorage::queryDeviceNumber(DeviceHandle volume, uint32_t& deviceNumber)
{
    STORAGE_DEVICE_NUMBER number{};
    if (!storageDeviceNumber(volume, number))
        return false;
    deviceNumber = number.DeviceNumber;
    return true;
}

bool WindowsStorage::ataCommand(DeviceHandle drive, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                                DataDirection direction, uint32_t timeoutSeconds, AtaTaskFile& returned)
{
    if (!noWriterElsewhere(drive))
        return false;
    ATA_PASS_THROUGH_DIRECT request;
    fillAtaRequest(request, taskFile, buffer, length, direction, timeoutSeconds);
    if (!control(drive, IOCTL_ATA_PASS_THROUGH_DIRECT, &request, sizeof request, &request, sizeof request))
        return false;
    returned = returnedTaskFile(request);
    return true;
}

bool WindowsStorage::satCommand(DeviceHandle drive, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                                DataDirection direction, uint32_t timeoutSeconds, SatSense& sense)
{
    if (!noWriterElsewhere(drive))
        return false;
    ScsiRequest request;
    fillSatRequest(request, cdb, buffer, length, direction, timeoutSeconds);
    if (!control(drive, IOCTL_SCSI_PASS_THROUGH_DIRECT, &request, sizeof request, &request, sizeof request))
        return false;
    sense = senseData(request);
    return true;
}

bool WindowsStorage::nvmeAdminCommand(DeviceHandle drive, const NvmeAdminCommand& command, uint8_t* buffer,
                                      uint32_t length, uint32_t, uint16_t& status, uint32_t& result)
{
    if (!noWriterElsewhere(drive))
        return false;
    std::vector<uint8_t> query;
    if (!fillNvmeQuery(query, command, length)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    DWORD returned = 0;
    if (!DeviceIoControl(nativeHandle(drive), IOCTL_STORAGE_QUERY_PROPERTY, query.data(),
                         static_cast<DWORD>(query.size()), query.data(), static_cast<DWORD>(query.size()), &returned,
                         nullptr))
        return false;
    size_t dataOffset = 0;
    if (!readNvmeAnswer(query, returned, length, dataOffset, result)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    std::memcpy(buffer, query.data() + dataOffset, length);
    status = 0;
    return true;
}

bool WindowsStorage::queryDeviceIdentity(DeviceHandle drive, DeviceIdentity& identity)
{
    // Windows reuses a drive number for the next disk; the device type and
    // number are what the storage stack tells of a physical drive.
    STORAGE_DEVICE_NUMBER number{};
    if (!storageDeviceNumber(drive, number))
        return false;
    identity = {(static_cast<uint64_t>(number.DeviceType) << 32) | number.DeviceNumber, 0};
    return true;
}

DeviceHandle WindowsStorage::openDevice(const DeviceIdentity& device, AccessMode mode)
{
    // A physical drive's device number is the n of its path.
    const DeviceHandle drive = open(physicalDrivePath(static_cast<int>(device.device & 0xFFFFFFFFu)), mode);
    if (drive == kInvalidHandle)
        return kInvalidHandle;
    DeviceIdentity opened{};
    if (queryDeviceIdentity(drive, opened) && opened == device)
        return drive;
    close(drive);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return kInvalidHandle;
}

bool WindowsStorage::noWriterElsewhere(DeviceHandle drive)
{
    lastFailureLocked_ = false;
    STORAGE_DEVICE_NUMBER number{};
    if (!storageDeviceNumber(drive, number))
        return true;  // the command itself will fail on such a handle
    for (const auto& held : writerLocks_) {
        STORAGE_DEVICE_NUMBER writing{};
        if (storageDeviceNumber(held.first, writing) && writing.DeviceNumber == number.DeviceNumber)
            return true;  // this process is the drive's writer
    }
    const HANDLE lock = OpenMutexA(SYNCHRONIZE, FALSE, writerLockName(number).c_str());
    if (!lock)
        return true;
    CloseHandle(lock);
    SetLastError(ERROR_SHARING_VIOLATION);
    lastFailureLocked_ = true;
    return false;
}

bool WindowsStorage::lockForWriting(DeviceHandle drive)
{
    lastFailureLocked_ = false;
    STORAGE_DEVICE_NUMBER number{};
    if (!storageDeviceNumber(drive, number))
        return false;
    const HANDLE lock = CreateMutexA(nullptr, FALSE, writerLockName(number).c_str());
    if (!lock)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(lock);
        lastFailureLocked_ = true;
        return false;
    }
    writerLocks_[drive] = lock;
    return true;
}

bool WindowsStorage::systemName(const std::string& path, std::string& name)
{
    // Windows names drives and volumes by these very paths.
    const auto letter = parseRootPath(path);
    const auto drive = parseDevicePath(path);
    if (!(letter && path == rootPath(*letter)) && !(drive && drive->kind == DeviceName::Kind::PhysicalDrive)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    name = path;
    return true;
}

uint32_t WindowsStorage::logicalDrives()
{
    return GetLogicalDrives();
}

DriveType WindowsStorage::driveType(const std::string& rootPath)
{
    // The enumeration holds the values of GetDriveTypeA.
    return static_cast<DriveType>(GetDriveTypeA(rootPath.c_str()));
}

bool WindowsStorage::diskFreeSpace(const std::string& rootPath, VolumeSpace& space)
{
    ULARGE_INTEGER availableToCaller{}, total{}, totalFree{};
    if (!GetDiskFreeSpaceExA(rootPath.c_str(), &availableToCaller, &total, &totalFree))
        return false;
    space = {availableToCaller.QuadPart, total.QuadPart, totalFree.QuadPart};
    return true;
}

bool WindowsStorage::systemDirectory(std::string& path)
{
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0)
        return false;
    // A longer path is not copied; its length is returned instead.
    if (length >= MAX_PATH) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    path.assign(directory, length);
    return true;
}

uint32_t WindowsStorage::lastError()
{
    return GetLastError();
}

Failure WindowsStorage::lastFailure()
{
    if (lastFailureLocked_)
        return Failure::Locked;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return Failure::Gone;
    return error == ERROR_ACCESS_DENIED ? Failure::AccessDenied : Failure::Other;
}
