#pragma once
// Names of devices as the storage-control interface takes them.

#include <optional>
#include <string>

// The physical drive numbers that are ever looked at: 0 to 25.
constexpr int kProbedDrives = 26;

std::string physicalDrivePath(int diskNum);   // "\\.\PHYSICALDRIVE<n>"
std::string volumePath(char letter);          // "\\.\X:"
std::string rootPath(char letter);            // "X:\"

// The parsed form of a device path: a drive number or a volume letter.
struct DeviceName {
    enum class Kind { PhysicalDrive, Volume } kind;
    int diskNum = -1;
    char letter = 0;
};
std::optional<DeviceName> parseDevicePath(const std::string& path);
// The upper-case letter of a root path "X:\" (or "X:"), if it is one.
std::optional<char> parseRootPath(const std::string& path);
