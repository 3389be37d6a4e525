#include "helper/HelperServer.h"

#include "disk/helper/HelperProtocol.h"
#include "helper/CommandPolicy.h"

#include <cerrno>
#include <cstdio>

using namespace helper;

namespace {

constexpr uint32_t kMaxTimeoutSeconds = 60;

// The reply's head: success, the failure's number and kind.
Writer replyHead(bool ok, uint32_t error = 0, Failure failure = Failure::Other)
{
    Writer reply;
    reply.u8(ok ? 1 : 0).u32(error).u8(static_cast<uint8_t>(failure));
    return reply;
}

Writer failed(StorageControl& storage)
{
    return replyHead(false, storage.lastError(), storage.lastFailure());
}

std::vector<uint8_t> refusal(const std::string& reason)
{
    std::fprintf(stderr, "quillfence-helper: refused: %s\n", reason.c_str());
    return replyHead(false, EPERM, Failure::Other).text(reason).bytes();
}

bool knownDevicePath(const std::string& path)
{
    const auto name = parseDevicePath(path);
    if (!name)
        return false;
    if (name->kind == DeviceName::Kind::PhysicalDrive)
        return name->diskNum >= 0 && name->diskNum < kProbedDrives && path == physicalDrivePath(name->diskNum);
    return name->letter >= 'C' && name->letter <= 'Z' && path == volumePath(name->letter);
}

}  // namespace

HelperServer::HelperServer(StorageControl& storage, Mode mode) : storage_(storage), mode_(mode) {}

HelperServer::~HelperServer()
{
    for (const auto& [handle, device] : opened_)
        storage_.close(handle);
}

std::vector<uint8_t> HelperServer::hello() const
{
    return Writer().u32(kProtocolVersion).text(mode_ == Mode::Firmware ? kFirmwareMode : kReadMode).bytes();
}

const HelperServer::Opened* HelperServer::opened(DeviceHandle handle) const
{
    const auto found = opened_.find(handle);
    return found == opened_.end() ? nullptr : &found->second;
}

bool HelperServer::served(uint8_t op) const
{
    // What one firmware update needs: its drive opened by device, the lock,
    // the bus type and the commands.
    const bool firmwareOp = op == uint8_t(Op::OpenDevice) || op == uint8_t(Op::Lock);
    if (mode_ == Mode::Read)
        return !firmwareOp;
    return firmwareOp || op == uint8_t(Op::Close) || op == uint8_t(Op::Identity) || op == uint8_t(Op::BusType) ||
           op == uint8_t(Op::Ata) || op == uint8_t(Op::Sat);
}

bool HelperServer::onLockedDevice(DeviceHandle handle)
{
    DeviceIdentity locked{}, target{};
    return writer_ != kInvalidHandle && storage_.queryDeviceIdentity(writer_, locked) &&
           storage_.queryDeviceIdentity(handle, target) && locked == target;
}

std::vector<uint8_t> HelperServer::reply(const std::vector<uint8_t>& request)
{
    // Nothing a client sends may end the helper.
    try {
        return handle(request);
    } catch (const std::exception& error) {
        return refusal(std::string("the request could not be served: ") + error.what());
    }
}

std::vector<uint8_t> HelperServer::handle(const std::vector<uint8_t>& request)
{
    Reader in(request);
    uint8_t op = 0;
    if (!in.u8(op))
        return refusal("an empty request");
    if (!served(op))
        return refusal(mode_ == Mode::Firmware ? "a request a firmware update does not make"
                                               : "a request only a firmware update makes");
    int64_t handle = kInvalidHandle;
    const bool takesHandle = op == uint8_t(Op::Close) || op == uint8_t(Op::BusType) || op == uint8_t(Op::DiskLength) ||
                             op == uint8_t(Op::DeviceNumber) || op == uint8_t(Op::Ata) || op == uint8_t(Op::Sat) ||
                             op == uint8_t(Op::Identity) || op == uint8_t(Op::Lock) || op == uint8_t(Op::Nvme);
    if (takesHandle && (!in.i64(handle) || !opened(handle)))
        return refusal("a handle this helper did not open");

    switch (static_cast<Op>(op)) {
    case Op::Open: {
        std::string path;
        uint8_t mode = 0;
        if (!in.text(path) || !in.u8(mode) || !in.finished() || mode > uint8_t(AccessMode::ReadWriteNoBuffering))
            return refusal("a malformed open request");
        if (!knownDevicePath(path))
            return refusal("a device path that names no drive or volume: " + path);
        if (opened_.size() >= kMaxOpen)
            return refusal("too many open handles");
        const DeviceHandle opened = storage_.open(path, static_cast<AccessMode>(mode));
        if (opened == kInvalidHandle)
            return failed(storage_).bytes();
        opened_[opened] = {parseDevicePath(path)->kind == DeviceName::Kind::PhysicalDrive};
        return replyHead(true).i64(opened).bytes();
    }
    case Op::OpenDevice: {
        DeviceIdentity device{};
        uint8_t mode = 0;
        if (!in.u64(device.device) || !in.u64(device.sequence) || !in.u8(mode) || !in.finished() ||
            mode > uint8_t(AccessMode::ReadWriteNoBuffering))
            return refusal("a malformed open request");
        if (opened_.size() >= kMaxOpen)
            return refusal("too many open handles");
        const DeviceHandle opened = storage_.openDevice(device, static_cast<AccessMode>(mode));
        if (opened == kInvalidHandle)
            return failed(storage_).bytes();
        opened_[opened] = {true};
        if (locked_ && !onLockedDevice(opened)) {
            storage_.close(opened);
            opened_.erase(opened);
            return refusal("a drive other than the one this firmware update locked");
        }
        return replyHead(true).i64(opened).bytes();
    }
    case Op::Close:
        if (!in.finished())
            return refusal("a malformed close request");
        storage_.close(handle);
        opened_.erase(handle);
        if (handle == writer_) {
            // The update is over, and with it this helper's authorisation.
            writer_ = kInvalidHandle;
            finished_ = true;
        }
        return replyHead(true).bytes();
    case Op::BusType: {
        uint32_t busType = 0;
        if (!in.finished())
            return refusal("a malformed request");
        return storage_.queryBusType(handle, busType) ? replyHead(true).u32(busType).bytes() : failed(storage_).bytes();
    }
    case Op::DiskLength: {
        int64_t bytes = 0;
        if (!in.finished())
            return refusal("a malformed request");
        return storage_.queryDiskLength(handle, bytes) ? replyHead(true).i64(bytes).bytes() : failed(storage_).bytes();
    }
    case Op::DeviceNumber: {
        uint32_t number = 0;
        if (!in.finished())
            return refusal("a malformed request");
        return storage_.queryDeviceNumber(handle, number) ? replyHead(true).u32(number).bytes()
                                                          : failed(storage_).bytes();
    }
    case Op::Identity: {
        DeviceIdentity identity{};
        if (!in.finished())
            return refusal("a malformed request");
        return storage_.queryDeviceIdentity(handle, identity)
                   ? replyHead(true).u64(identity.device).u64(identity.sequence).bytes()
                   : failed(storage_).bytes();
    }
    case Op::Lock:
        if (!in.finished())
            return refusal("a malformed request");
        if (locked_)
            return refusal("a second writer's lock: one firmware update locks one drive once");
        if (!storage_.lockForWriting(handle))
            return failed(storage_).bytes();
        writer_ = handle;
        locked_ = true;
        return replyHead(true).bytes();
    case Op::Ata:
    case Op::Sat: {
        const bool ata = op == uint8_t(Op::Ata);
        AtaTaskFile taskFile{};
        SatCdb cdb{};
        uint8_t direction = 0;
        uint32_t length = 0, timeout = 0;
        std::vector<uint8_t> data;
        const bool block = ata ? in.raw(taskFile.data(), taskFile.size()) : in.raw(cdb.data(), cdb.size());
        if (!block || !in.u8(direction) || !in.u32(length) || !in.u32(timeout) || !in.data(data, kMaxCommandData) ||
            !in.finished() || direction > 1 || length > kMaxCommandData || timeout > kMaxTimeoutSeconds)
            return refusal("a malformed command request");
        const DataDirection way = direction ? DataDirection::Out : DataDirection::In;
        if (!opened(handle)->drive)
            return refusal("a drive command to a volume");
        if (way == DataDirection::Out ? data.size() != length : !data.empty())
            return refusal("command data that is not as long as the command moves");
        const CommandVerdict verdict = ata ? checkAtaCommand(taskFile, way, length) : checkSatCommand(cdb, way, length);
        if (!verdict.allowed)
            return refusal(verdict.reason);
        if (verdict.download && mode_ != Mode::Firmware)
            return refusal("DOWNLOAD MICROCODE without the firmware update's authorisation");
        if (mode_ == Mode::Firmware && !onLockedDevice(handle))
            return refusal("a command to a drive that is not the device this firmware update locked");
        data.resize(length);
        AtaTaskFile returned{};
        SatSense sense{};
        const bool sent = ata ? storage_.ataCommand(handle, taskFile, data.data(), length, way, timeout, returned)
                              : storage_.satCommand(handle, cdb, data.data(), length, way, timeout, sense);
        if (!sent)
            return failed(storage_).bytes();
        Writer reply = replyHead(true);
        if (ata)
            reply.raw(returned.data(), returned.size());
        else
            reply.raw(sense.data(), sense.size());
        if (way == DataDirection::In)
            reply.data(data.data(), data.size());
        else
            reply.data(nullptr, 0);
        return reply.bytes();
    }
    case Op::Nvme: {
        NvmeAdminCommand command;
        uint32_t length = 0, timeout = 0;
        bool read = in.u8(command.opcode) && in.u32(command.nsid);
        for (uint32_t& dword : command.cdw)
            read = read && in.u32(dword);
        if (!read || !in.u32(length) || !in.u32(timeout) || !in.finished() || length > kMaxCommandData ||
            timeout > kMaxTimeoutSeconds)
            return refusal("a malformed NVMe command request");
        if (!opened(handle)->drive)
            return refusal("a drive command to a volume");
        const CommandVerdict verdict = checkNvmeCommand(command, length);
        if (!verdict.allowed)
            return refusal(verdict.reason);
        std::vector<uint8_t> data(length);
        uint16_t status = 0;
        uint32_t result = 0;
        if (!storage_.nvmeAdminCommand(handle, command, data.data(), length, timeout, status, result))
            return failed(storage_).bytes();
        return replyHead(true).u32(status).u32(result).data(data.data(), data.size()).bytes();
    }
    case Op::BeginEnumeration:
        if (!in.finished())
            return refusal("a malformed request");
        storage_.beginEnumeration();
        return replyHead(true).bytes();
    case Op::LogicalDrives:
        if (!in.finished())
            return refusal("a malformed request");
        return replyHead(true).u32(storage_.logicalDrives()).bytes();
    case Op::DriveType:
    case Op::FreeSpace: {
        std::string root;
        if (!in.text(root) || !in.finished())
            return refusal("a malformed volume request");
        const auto letter = parseRootPath(root);
        if (!letter || root != rootPath(*letter))
            return refusal("a root path that names no volume: " + root);
        if (op == uint8_t(Op::DriveType))
            return replyHead(true).u32(static_cast<uint32_t>(storage_.driveType(root))).bytes();
        VolumeSpace space;
        if (!storage_.diskFreeSpace(root, space))
            return failed(storage_).bytes();
        return replyHead(true).u64(space.availableToCaller).u64(space.total).u64(space.totalFree).bytes();
    }
    case Op::SystemName: {
        std::string path, name;
        if (!in.text(path) || !in.finished())
            return refusal("a malformed name request");
        const auto letter = parseRootPath(path);
        const auto drive = parseDevicePath(path);
        const bool root = letter && path == rootPath(*letter);
        if (!root && !(knownDevicePath(path) && drive->kind == DeviceName::Kind::PhysicalDrive))
            return refusal("a path that names no drive or volume: " + path);
        if (!storage_.systemName(path, name))
            return failed(storage_).bytes();
        return replyHead(true).text(name).bytes();
    }
    case Op::SystemDirectory: {
        std::string path;
        if (!in.finished())
            return refusal("a malformed request");
        return storage_.systemDirectory(path) ? replyHead(true).text(path).bytes() : failed(storage_).bytes();
    }
    }
    return refusal("an operation this helper does not know");
}

int HelperServer::serve(int in, int out)
{
    if (!writeFrame(out, hello()))
        return 1;
    std::vector<uint8_t> request;
    for (;;) {
        switch (readFrame(in, request)) {
        case FrameRead::Frame:
            if (!writeFrame(out, reply(request)))
                return 1;
            if (finished_)
                return 0;
            break;
        case FrameRead::TooLarge:
            if (!writeFrame(out, refusal("a request larger than any this program sends")))
                return 1;
            break;
        case FrameRead::End:
            return 0;
        case FrameRead::Broken:
            return 1;
        }
    }
}
