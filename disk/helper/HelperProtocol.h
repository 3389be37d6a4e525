#pragma once
// The protocol between the program and quillfence-helper, the privileged
// process that serves the storage-control interface. Over a byte stream (the
// helper's standard input and output) each message is a frame: a 4-byte
// little-endian length, then that many bytes. A request is an operation code
// and its plain values; a reply says whether the operation succeeded, the
// failure's number and kind, and the values it gives back. Integers are
// little-endian; texts and data are a 4-byte length and their bytes.
//
// The helper starts with a hello frame naming the protocol and its mode.
//
// A helper in read mode names drives by the numbers of its own enumeration.
// A helper in firmware mode serves one firmware update: it names drives by
// the device (the number and disk sequence its client read), takes one
// writer's lock, and ends when that lock's handle is closed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace helper {

constexpr uint32_t kProtocolVersion = 4;
// Far above the largest request (a 256-sector DOWNLOAD MICROCODE piece).
constexpr uint32_t kMaxFrame = 1u << 20;
constexpr uint32_t kMaxCommandData = 256 * 512;
constexpr size_t kMaxText = 64;
// A system name in a reply: a mount point may be as long as a path.
constexpr size_t kMaxName = 4096;

enum class Op : uint8_t {
    Open = 1,          // text path, u8 mode -> i64 handle
    Close,             // i64 handle
    BusType,           // i64 handle -> u32
    DiskLength,        // i64 handle -> i64
    DeviceNumber,      // i64 handle -> u32
    Ata,               // i64 handle, 8 bytes, u8 direction, u32 length, u32 timeout, data out -> 8 bytes returned, data in
    Sat,               // i64 handle, 12 bytes, u8 direction, u32 length, u32 timeout, data out -> 32 bytes sense, data in
    Identity,          // i64 handle -> u64 device, u64 sequence
    Lock,              // i64 handle
    BeginEnumeration,  //
    LogicalDrives,     // -> u32
    DriveType,         // text root -> u32
    FreeSpace,         // text root -> u64 available, u64 total, u64 free
    SystemDirectory,   // -> text
    Nvme,              // i64 handle, u8 opcode, u32 nsid, 6 × u32 CDW10-15, u32 length, u32 timeout
                       //   -> u32 status, u32 result, data in
    SystemName = 20,   // text path (a physical drive or a root path) -> text
    OpenDevice,        // u64 device, u64 sequence, u8 mode -> i64 handle (firmware mode)
};

// The helper's modes: reading drives, or updating the firmware of one.
constexpr const char* kReadMode = "read";
constexpr const char* kFirmwareMode = "firmware";

class Writer {
public:
    Writer& u8(uint8_t value);
    Writer& u32(uint32_t value);
    Writer& u64(uint64_t value);
    Writer& i64(int64_t value) { return u64(static_cast<uint64_t>(value)); }
    Writer& raw(const uint8_t* bytes, size_t length);  // no length before it
    Writer& data(const uint8_t* bytes, size_t length);
    Writer& text(const std::string& text);
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// Reads values off a frame; every read past the end, or of a text or data
// longer than allowed, fails and fails every later read.
class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& frame) : bytes_(frame) {}
    bool u8(uint8_t& value);
    bool u32(uint32_t& value);
    bool u64(uint64_t& value);
    bool i64(int64_t& value);
    bool raw(uint8_t* bytes, size_t length);
    bool data(std::vector<uint8_t>& bytes, size_t maxLength);
    bool text(std::string& text, size_t maxLength = kMaxText);
    // True when every byte was read and nothing failed.
    bool finished() const { return ok_ && at_ == bytes_.size(); }
    bool ok() const { return ok_; }

private:
    bool take(size_t length);

    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

enum class FrameRead {
    Frame,     // a whole frame was read
    End,       // the stream ended between frames
    TooLarge,  // a frame over kMaxFrame: its bytes were read and dropped
    Broken,    // the stream ended inside a frame, or failed
};

// Blocking reads and writes of whole frames on file descriptors.
FrameRead readFrame(int fd, std::vector<uint8_t>& frame);
bool writeFrame(int fd, const std::vector<uint8_t>& frame);

}  // namespace helper
