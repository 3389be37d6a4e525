#include "disk/helper/HelperProtocol.h"

#include <algorithm>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace helper {

namespace {

// Reads exactly `length` bytes; false at the end of the stream or on an error.
bool readExactly(int fd, uint8_t* bytes, size_t length, bool& endBeforeFirst)
{
    size_t done = 0;
    endBeforeFirst = false;
    while (done < length) {
        const ssize_t got = ::read(fd, bytes + done, length - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            endBeforeFirst = got == 0 && done == 0;
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

// On a socket without SIGPIPE when the other end has gone: the write fails.
ssize_t writeSome(int fd, const uint8_t* bytes, size_t length)
{
    const ssize_t sent = ::send(fd, bytes, length, MSG_NOSIGNAL);
    return sent < 0 && errno == ENOTSOCK ? ::write(fd, bytes, length) : sent;
}

bool writeAll(int fd, const uint8_t* bytes, size_t length)
{
    size_t done = 0;
    while (done < length) {
        const ssize_t wrote = writeSome(fd, bytes + done, length - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

}  // namespace

Writer& Writer::u8(uint8_t value)
{
    bytes_.push_back(value);
    return *this;
}

Writer& Writer::u32(uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes_.push_back(static_cast<uint8_t>(value >> shift));
    return *this;
}

Writer& Writer::u64(uint64_t value)
{
    for (int shift = 0; shift < 64; shift += 8)
        bytes_.push_back(static_cast<uint8_t>(value >> shift));
    return *this;
}

Writer& Writer::raw(const uint8_t* bytes, size_t length)
{
    bytes_.insert(bytes_.end(), bytes, bytes + length);
    return *this;
}

Writer& Writer::data(const uint8_t* bytes, size_t length)
{
    u32(static_cast<uint32_t>(length));
    return raw(bytes, length);
}

Writer& Writer::text(const std::string& text)
{
    return data(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

bool Reader::take(size_t length)
{
    if (!ok_ || bytes_.size() - at_ < length)
        ok_ = false;
    return ok_;
}

bool Reader::u8(uint8_t& value)
{
    if (!take(1))
        return false;
    value = bytes_[at_++];
    return true;
}

bool Reader::u32(uint32_t& value)
{
    if (!take(4))
        return false;
    value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(bytes_[at_++]) << (8 * i);
    return true;
}

bool Reader::u64(uint64_t& value)
{
    if (!take(8))
        return false;
    value = 0;
    for (int i = 0; i < 8; ++i)
        value |= static_cast<uint64_t>(bytes_[at_++]) << (8 * i);
    return true;
}

bool Reader::i64(int64_t& value)
{
    uint64_t bits = 0;
    if (!u64(bits))
        return false;
    value = static_cast<int64_t>(bits);
    return true;
}

bool Reader::raw(uint8_t* bytes, size_t length)
{
    if (!take(length))
        return false;
    std::copy(bytes_.begin() + at_, bytes_.begin() + at_ + length, bytes);
    at_ += length;
    return true;
}

bool Reader::data(std::vector<uint8_t>& bytes, size_t maxLength)
{
    uint32_t length = 0;
    if (!u32(length))
        return false;
    if (length > maxLength || !take(length)) {
        ok_ = false;
        return false;
    }
    bytes.assign(bytes_.begin() + at_, bytes_.begin() + at_ + length);
    at_ += length;
    return true;
}

bool Reader::text(std::string& text, size_t maxLength)
{
    std::vector<uint8_t> bytes;
    if (!data(bytes, maxLength))
        return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

FrameRead readFrame(int fd, std::vector<uint8_t>& frame)
{
    uint8_t prefix[4];
    bool endBeforeFirst = false;
    if (!readExactly(fd, prefix, sizeof prefix, endBeforeFirst))
        return endBeforeFirst ? FrameRead::End : FrameRead::Broken;
    const uint32_t length = prefix[0] | prefix[1] << 8 | prefix[2] << 16 | static_cast<uint32_t>(prefix[3]) << 24;
    if (length > kMaxFrame) {
        // Read past it in pieces, so that the next frame is found again.
        uint8_t piece[4096];
        for (uint32_t left = length; left > 0;) {
            const size_t chunk = std::min<size_t>(left, sizeof piece);
            if (!readExactly(fd, piece, chunk, endBeforeFirst))
                return FrameRead::Broken;
            left -= static_cast<uint32_t>(chunk);
        }
        return FrameRead::TooLarge;
    }
    frame.resize(length);
    if (length > 0 && !readExactly(fd, frame.data(), length, endBeforeFirst))
        return FrameRead::Broken;
    return FrameRead::Frame;
}

bool writeFrame(int fd, const std::vector<uint8_t>& frame)
{
    Writer prefix;
    prefix.u32(static_cast<uint32_t>(frame.size()));
    return writeAll(fd, prefix.bytes().data(), 4) && writeAll(fd, frame.data(), frame.size());
}

}  // namespace helper
