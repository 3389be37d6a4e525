#include "disk/simulated/DeviceLog.h"

#include <cstdio>

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

}  // namespace

std::string DeviceLogLine(const ReceivedCommand& c)
{
    const bool out = c.direction == DataDirection::Out;
    return "drive=" + std::to_string(c.drive) + " route=" + (c.route == CommandRoute::Ata ? "ata" : "sat") +
           " command=" + upperHex(c.block) + " direction=" + (out ? "out" : "in") +
           " length=" + std::to_string(c.length) + " sha256=" + (out ? c.dataSha256 : "-") +
           " accepted=" + (c.accepted ? "yes" : "no");
}

bool AppendDeviceLogLine(const std::string& path, const std::string& line)
{
    // Opened for each line, so that several processes can share one log and a
    // crash loses nothing written before it.
    FILE* file = std::fopen(path.c_str(), "a");
    if (!file)
        return false;
    const bool written = std::fputs((line + "\n").c_str(), file) >= 0;
    return std::fclose(file) == 0 && written;
}
