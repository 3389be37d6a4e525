#include "disk/helper/HelperStorage.h"

#include "disk/DevicePath.h"
#include "disk/helper/HelperProtocol.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

using namespace helper;

namespace {

Writer request(Op op)
{
    Writer out;
    out.u8(static_cast<uint8_t>(op));
    return out;
}

}  // namespace

HelperStorage::Starter HelperStorage::launching(std::vector<std::string> launcher, std::string helper)
{
    return [launcher = std::move(launcher), helper = std::move(helper)](const std::string& mode) {
        return HelperConnection::start(launcher, helper, mode);
    };
}

HelperStorage::HelperStorage(Starter start) : start_(std::move(start)) {}

HelperStorage::~HelperStorage() = default;

bool HelperStorage::fail(uint32_t error, Failure failure)
{
    lastError_ = error;
    lastFailure_ = failure;
    return false;
}

HelperConnection* HelperStorage::reader()
{
    if (!reader_ && !refused_) {
        reader_ = start_(kReadMode);
        refused_ = !reader_;
    }
    if (!reader_)
        fail(EACCES, Failure::NotAuthorised);
    return reader_.get();
}

void HelperStorage::retryAuthorisation()
{
    refused_ = false;
}

bool HelperStorage::call(HelperConnection* connection, const std::vector<uint8_t>& request,
                         std::vector<uint8_t>& values)
{
    std::vector<uint8_t> reply;
    if (!connection)
        return false;
    if (!connection->call(request, reply)) {
        // The helper has gone: its handles fail from now on, and a new
        // reading helper is started for the next operation that needs one.
        if (connection == reader_.get())
            reader_.reset();
        return fail(EPIPE, Failure::Other);
    }
    Reader in(reply);
    uint8_t ok = 0, failure = 0;
    uint32_t error = 0;
    if (!in.u8(ok) || !in.u32(error) || !in.u8(failure) || failure > uint8_t(Failure::Gone))
        return fail(EPROTO, Failure::Other);
    if (!ok)
        return fail(error, static_cast<Failure>(failure));
    values.assign(reply.begin() + 6, reply.end());
    return true;
}

const HelperStorage::Remote* HelperStorage::remote(DeviceHandle handle)
{
    const auto found = handles_.find(handle);
    if (found == handles_.end()) {
        fail(EBADF, Failure::Other);
        return nullptr;
    }
    return &found->second;
}

DeviceHandle HelperStorage::open(const std::string& devicePath, AccessMode mode)
{
    HelperConnection* connection = reader();
    std::vector<uint8_t> values;
    if (!call(connection, request(Op::Open).text(devicePath).u8(static_cast<uint8_t>(mode)).bytes(), values))
        return kInvalidHandle;
    Reader in(values);
    int64_t handle = kInvalidHandle;
    if (!in.i64(handle)) {
        fail(EPROTO, Failure::Other);
        return kInvalidHandle;
    }
    const DeviceHandle local = nextHandle_++;
    handles_[local] = {reader_, handle};
    return local;
}

DeviceHandle HelperStorage::openLocked(AccessMode mode)
{
    std::vector<uint8_t> values;
    int64_t handle = kInvalidHandle;
    Writer message = request(Op::OpenDevice);
    message.u64(lockDevice_.device).u64(lockDevice_.sequence).u8(static_cast<uint8_t>(mode));
    if (!call(writer_.get(), message.bytes(), values))
        return kInvalidHandle;
    if (!Reader(values).i64(handle)) {
        fail(EPROTO, Failure::Other);
        return kInvalidHandle;
    }
    const DeviceHandle local = nextHandle_++;
    handles_[local] = {writer_, handle};
    return local;
}

DeviceHandle HelperStorage::openDevice(const DeviceIdentity& device, AccessMode mode)
{
    if (lockHandle_ != kInvalidHandle && device == lockDevice_)
        return openLocked(mode);
    // Any other device through the reading helper's drive numbers, asked
    // on query-only handles.
    beginEnumeration();
    for (int n = 0; n < kProbedDrives; ++n) {
        const DeviceHandle query = open(physicalDrivePath(n), AccessMode::QueryOnly);
        if (query == kInvalidHandle)
            continue;
        DeviceIdentity identity{};
        const bool found = queryDeviceIdentity(query, identity) && identity == device;
        close(query);
        if (!found)
            continue;
        const DeviceHandle drive = open(physicalDrivePath(n), mode);
        if (drive == kInvalidHandle || (queryDeviceIdentity(drive, identity) && identity == device))
            return drive;
        close(drive);
        break;
    }
    fail(ENODEV, Failure::Gone);
    return kInvalidHandle;
}

void HelperStorage::close(DeviceHandle handle)
{
    const auto found = handles_.find(handle);
    if (found == handles_.end()) {
        fail(EBADF, Failure::Other);
        return;
    }
    const Remote opened = found->second;
    handles_.erase(found);
    std::vector<uint8_t> values;
    call(opened.connection.get(), request(Op::Close).i64(opened.handle).bytes(), values);
    if (handle == lockHandle_) {
        // The update has ended: so has its helper, and its authorisation.
        lockHandle_ = kInvalidHandle;
        lockDevice_ = {};
        writer_.reset();
    }
}

bool HelperStorage::queryBusType(DeviceHandle drive, uint32_t& busType)
{
    const Remote* opened = remote(drive);
    std::vector<uint8_t> values;
    if (!opened || !call(opened->connection.get(), request(Op::BusType).i64(opened->handle).bytes(), values))
        return false;
    Reader in(values);
    return in.u32(busType) || fail(EPROTO, Failure::Other);
}

bool HelperStorage::queryDiskLength(DeviceHandle drive, int64_t& bytes)
{
    const Remote* opened = remote(drive);
    std::vector<uint8_t> values;
    if (!opened || !call(opened->connection.get(), request(Op::DiskLength).i64(opened->handle).bytes(), values))
        return false;
    Reader in(values);
    return in.i64(bytes) || fail(EPROTO, Failure::Other);
}

bool HelperStorage::queryDeviceNumber(DeviceHandle volume, uint32_t& deviceNumber)
{
    const Remote* opened = remote(volume);
    std::vector<uint8_t> values;
    if (!opened || !call(opened->connection.get(), request(Op::DeviceNumber).i64(opened->handle).bytes(), values))
        return false;
    Reader in(values);
    return in.u32(deviceNumber) || fail(EPROTO, Failure::Other);
}

bool HelperStorage::queryDeviceIdentity(DeviceHandle drive, DeviceIdentity& identity)
{
    const Remote* opened = remote(drive);
    std::vector<uint8_t> values;
    if (!opened || !call(opened->connection.get(), request(Op::Identity).i64(opened->handle).bytes(), values))
        return false;
    Reader in(values);
    return (in.u64(identity.device) && in.u64(identity.sequence)) || fail(EPROTO, Failure::Other);
}

bool HelperStorage::command(DeviceHandle drive, uint8_t op, const uint8_t* block, size_t blockLength,
                            uint8_t* buffer, uint32_t length, DataDirection direction, uint32_t timeoutSeconds,
                            uint8_t* answer, size_t answerLength)
{
    const Remote* opened = remote(drive);
    if (!opened)
        return false;
    const bool out = direction == DataDirection::Out;
    Writer message = request(static_cast<Op>(op));
    message.i64(opened->handle).raw(block, blockLength).u8(out ? 1 : 0).u32(length).u32(timeoutSeconds);
    message.data(out ? buffer : nullptr, out ? length : 0);
    std::vector<uint8_t> values, data;
    if (!call(opened->connection.get(), message.bytes(), values))
        return false;
    Reader in(values);
    if (!in.raw(answer, answerLength) || !in.data(data, kMaxCommandData) || (!out && data.size() != length))
        return fail(EPROTO, Failure::Other);
    if (!out)
        std::memcpy(buffer, data.data(), length);
    return true;
}

bool HelperStorage::ataCommand(DeviceHandle drive, const AtaTaskFile& taskFile, uint8_t* buffer, uint32_t length,
                               DataDirection direction, uint32_t timeoutSeconds, AtaTaskFile& returned)
{
    return command(drive, uint8_t(Op::Ata), taskFile.data(), taskFile.size(), buffer, length, direction,
                   timeoutSeconds, returned.data(), returned.size());
}

bool HelperStorage::satCommand(DeviceHandle drive, const SatCdb& cdb, uint8_t* buffer, uint32_t length,
                               DataDirection direction, uint32_t timeoutSeconds, SatSense& sense)
{
    return command(drive, uint8_t(Op::Sat), cdb.data(), cdb.size(), buffer, length, direction, timeoutSeconds,
                   sense.data(), sense.size());
}

bool HelperStorage::nvmeAdminCommand(DeviceHandle drive, const NvmeAdminCommand& command, uint8_t* buffer,
                                     uint32_t length, uint32_t timeoutSeconds, uint16_t& status, uint32_t& result)
{
    const Remote* opened = remote(drive);
    if (!opened)
        return false;
    Writer message = request(Op::Nvme);
    message.i64(opened->handle).u8(command.opcode).u32(command.nsid);
    for (uint32_t dword : command.cdw)
        message.u32(dword);
    message.u32(length).u32(timeoutSeconds);
    std::vector<uint8_t> values, data;
    if (!call(opened->connection.get(), message.bytes(), values))
        return false;
    Reader in(values);
    uint32_t answer = 0;
    if (!in.u32(answer) || answer > UINT16_MAX || !in.u32(result) || !in.data(data, kMaxCommandData) ||
        data.size() != length || !in.finished())
        return fail(EPROTO, Failure::Other);
    status = static_cast<uint16_t>(answer);
    std::copy(data.begin(), data.end(), buffer);
    return true;
}

bool HelperStorage::lockForWriting(DeviceHandle drive)
{
    const Remote* opened = remote(drive);
    if (!opened)
        return false;
    if (lockHandle_ != kInvalidHandle)
        return fail(EBUSY, Failure::Locked);
    // The device as the reading helper has it open: the firmware update's
    // helper finds it by that, not by a drive number of its own.
    DeviceIdentity device{};
    if (!queryDeviceIdentity(drive, device))
        return false;
    // The firmware update's own authorisation, asked every time.
    Connection writer = start_(kFirmwareMode);
    if (!writer)
        return fail(EACCES, Failure::NotAuthorised);
    std::vector<uint8_t> values;
    int64_t handle = kInvalidHandle;
    Writer openRequest = request(Op::OpenDevice);
    openRequest.u64(device.device).u64(device.sequence).u8(uint8_t(AccessMode::ReadWrite));
    if (!call(writer.get(), openRequest.bytes(), values))
        return false;
    if (!Reader(values).i64(handle))
        return fail(EPROTO, Failure::Other);
    if (!call(writer.get(), request(Op::Lock).i64(handle).bytes(), values))
        return false;
    // From now on this handle is the writer's; the reader's is given back.
    const Remote reading = *opened;
    call(reading.connection.get(), request(Op::Close).i64(reading.handle).bytes(), values);
    handles_[drive] = {writer, handle};
    writer_ = std::move(writer);
    lockHandle_ = drive;
    lockDevice_ = device;
    return true;
}

void HelperStorage::beginEnumeration()
{
    std::vector<uint8_t> values;
    call(reader(), request(Op::BeginEnumeration).bytes(), values);
}

bool HelperStorage::systemName(const std::string& path, std::string& name)
{
    std::vector<uint8_t> values;
    if (!call(reader(), request(Op::SystemName).text(path).bytes(), values))
        return false;
    Reader in(values);
    return in.text(name, kMaxName) || fail(EPROTO, Failure::Other);
}

uint32_t HelperStorage::logicalDrives()
{
    std::vector<uint8_t> values;
    uint32_t mask = 0;
    if (call(reader(), request(Op::LogicalDrives).bytes(), values))
        Reader(values).u32(mask);
    return mask;
}

DriveType HelperStorage::driveType(const std::string& root)
{
    std::vector<uint8_t> values;
    uint32_t type = static_cast<uint32_t>(DriveType::Unknown);
    if (call(reader(), request(Op::DriveType).text(root).bytes(), values))
        Reader(values).u32(type);
    return type <= static_cast<uint32_t>(DriveType::RamDisk) ? static_cast<DriveType>(type) : DriveType::Unknown;
}

bool HelperStorage::diskFreeSpace(const std::string& root, VolumeSpace& space)
{
    std::vector<uint8_t> values;
    if (!call(reader(), request(Op::FreeSpace).text(root).bytes(), values))
        return false;
    Reader in(values);
    return (in.u64(space.availableToCaller) && in.u64(space.total) && in.u64(space.totalFree)) ||
           fail(EPROTO, Failure::Other);
}

bool HelperStorage::systemDirectory(std::string& path)
{
    std::vector<uint8_t> values;
    if (!call(reader(), request(Op::SystemDirectory).bytes(), values))
        return false;
    Reader in(values);
    return in.text(path) || fail(EPROTO, Failure::Other);
}

uint32_t HelperStorage::lastError()
{
    return lastError_;
}

Failure HelperStorage::lastFailure()
{
    return lastFailure_;
}
