#include "disk/simulated/DeviceLog.h"

#include "disk/simulated/RegularFile.h"

#include <cerrno>
#include <cstring>

namespace {

std::string upperHex(const std::vector<uint8_t>& bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

const char* routeName(CommandRoute route)
{
    switch (route) {
    case CommandRoute::Ata:
        return "ata";
    case CommandRoute::Sat:
        return "sat";
    case CommandRoute::Nvme:
        return "nvme";
    }
    return "?";
}

void putDword(std::vector<uint8_t>& bytes, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

std::vector<uint8_t> NvmeCommandBytes(const NvmeAdminCommand& command)
{
    std::vector<uint8_t> bytes{command.opcode};
    putDword(bytes, command.nsid);
    for (uint32_t dword : command.cdw)
        putDword(bytes, dword);
    return bytes;
}

std::string DeviceLogLine(const ReceivedCommand& c)
{
    const bool out = c.direction == DataDirection::Out;
    return "drive=" + std::to_string(c.drive) + " route=" + routeName(c.route) +
           " command=" + upperHex(c.block) + " direction=" + (out ? "out" : "in") +
           " length=" + std::to_string(c.length) + " sha256=" + (out ? c.dataSha256 : "-") +
           " accepted=" + (c.accepted ? "yes" : "no");
}

DeviceLogFile::~DeviceLogFile()
{
    if (file_)
        std::fclose(file_);
}

bool DeviceLogFile::open(const std::string& path)
{
    // Opened for each line, so that several processes can share one log and a
    // crash loses nothing written before it.
    file_ = openRegularFileToAppend(path, error_);
    return file_ != nullptr;
}

bool DeviceLogFile::write(const std::string& line)
{
    errno = 0;
    const bool written = std::fputs((line + "\n").c_str(), file_) >= 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed)
        error_ = std::string("cannot be written: ") + std::strerror(errno);
    return written && closed;
}
