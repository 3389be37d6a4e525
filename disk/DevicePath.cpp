#include "disk/DevicePath.h"

#include <cctype>

namespace {
const std::string kDevicePrefix = "\\\\.\\";
const std::string kPhysicalDrive = "PHYSICALDRIVE";

std::optional<char> driveLetter(const std::string& text)
{
    if (text.size() < 2 || text[1] != ':' || !std::isalpha(static_cast<unsigned char>(text[0])))
        return std::nullopt;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}
}  // namespace

std::string physicalDrivePath(int diskNum)
{
    return kDevicePrefix + kPhysicalDrive + std::to_string(diskNum);
}

std::string volumePath(char letter)
{
    return kDevicePrefix + letter + ':';
}

std::string rootPath(char letter)
{
    return std::string(1, letter) + ":\\";
}

std::optional<DeviceName> parseDevicePath(const std::string& path)
{
    if (path.compare(0, kDevicePrefix.size(), kDevicePrefix) != 0)
        return std::nullopt;
    const std::string rest = path.substr(kDevicePrefix.size());
    if (rest.compare(0, kPhysicalDrive.size(), kPhysicalDrive) == 0) {
        const std::string digits = rest.substr(kPhysicalDrive.size());
        if (digits.empty() || digits.size() > 4)
            return std::nullopt;
        for (char c : digits)
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return std::nullopt;
        return DeviceName{DeviceName::Kind::PhysicalDrive, std::stoi(digits), 0};
    }
    if (rest.size() == 2)
        if (auto letter = driveLetter(rest))
            return DeviceName{DeviceName::Kind::Volume, -1, *letter};
    return std::nullopt;
}

std::optional<char> parseRootPath(const std::string& path)
{
    if (path.size() > 3 || (path.size() == 3 && path[2] != '\\'))
        return std::nullopt;
    return driveLetter(path);
}
