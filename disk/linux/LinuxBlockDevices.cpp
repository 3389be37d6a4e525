#include "disk/linux/LinuxBlockDevices.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/sysmacros.h>

namespace fs = std::filesystem;

namespace {

const std::regex kPhysicalDisk("^(sd[a-z]+|hd[a-z]+|vd[a-z]+|nvme[0-9]+n[0-9]+|mmcblk[0-9]+)$");
const char* const kFamilies[] = {"mmcblk", "nvme", "hd", "sd", "vd"};

std::string readLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// Splits a name into runs of letters and runs of digits.
std::vector<std::string> runs(const std::string& text)
{
    std::vector<std::string> parts;
    for (char c : text) {
        const bool digit = std::isdigit(static_cast<unsigned char>(c));
        if (parts.empty() || digit != static_cast<bool>(std::isdigit(static_cast<unsigned char>(parts.back()[0]))))
            parts.emplace_back();
        parts.back() += c;
    }
    return parts;
}

std::string family(const std::string& name)
{
    for (const char* prefix : kFamilies)
        if (name.rfind(prefix, 0) == 0)
            return prefix;
    return {};
}

}  // namespace

bool isPhysicalDiskName(const std::string& name)
{
    return std::regex_match(name, kPhysicalDisk);
}

bool naturalNameLess(const std::string& a, const std::string& b)
{
    const std::string familyA = family(a), familyB = family(b);
    if (familyA != familyB)
        return familyA < familyB;
    // After the family prefix, letter runs count like numbers written in
    // letters (z < aa) and digit runs like numbers.
    const auto runsA = runs(a.substr(familyA.size())), runsB = runs(b.substr(familyB.size()));
    for (size_t i = 0; i < runsA.size() && i < runsB.size(); ++i) {
        const std::string& x = runsA[i];
        const std::string& y = runsB[i];
        if (std::isdigit(static_cast<unsigned char>(x[0])) && std::isdigit(static_cast<unsigned char>(y[0]))) {
            const std::string tx = x.substr(std::min(x.find_first_not_of('0'), x.size() - 1));
            const std::string ty = y.substr(std::min(y.find_first_not_of('0'), y.size() - 1));
            if (tx.size() != ty.size())
                return tx.size() < ty.size();
            if (tx != ty)
                return tx < ty;
        } else {
            if (x.size() != y.size())
                return x.size() < y.size();
            if (x != y)
                return x < y;
        }
    }
    return runsA.size() < runsB.size();
}

uint32_t busTypeFromSysfsPath(const std::string& devicePath)
{
    bool ata = false, nvme = false;
    for (const auto& component : fs::path(devicePath)) {
        const std::string part = component.string();
        if (part.rfind("usb", 0) == 0)
            return 7;
        if (part.rfind("ata", 0) == 0 && part.size() > 3 && std::isdigit(static_cast<unsigned char>(part[3])))
            ata = true;
        if (part.rfind("nvme", 0) == 0)
            nvme = true;
    }
    if (ata)
        return 11;
    return nvme ? 17 : 0;
}

std::string majMinText(uint64_t rdev)
{
    return std::to_string(major(rdev)) + ":" + std::to_string(minor(rdev));
}

LinuxBlockDevices::LinuxBlockDevices(std::string sysRoot) : sysRoot_(std::move(sysRoot)) {}

std::vector<std::string> LinuxBlockDevices::physicalDisks() const
{
    std::vector<std::string> disks;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(sysRoot_ + "/block", error)) {
        const std::string name = entry.path().filename().string();
        if (isPhysicalDiskName(name))
            disks.push_back(name);
    }
    std::sort(disks.begin(), disks.end(), naturalNameLess);
    return disks;
}

std::string LinuxBlockDevices::classDir(const std::string& name) const
{
    std::error_code error;
    const fs::path dir = fs::canonical(sysRoot_ + "/class/block/" + name, error);
    return error ? std::string() : dir.string();
}

std::string LinuxBlockDevices::devDir(const std::string& majMin) const
{
    std::error_code error;
    const fs::path dir = fs::canonical(sysRoot_ + "/dev/block/" + majMin, error);
    return error ? std::string() : dir.string();
}

bool LinuxBlockDevices::exists(const std::string& majMin) const
{
    return !devDir(majMin).empty();
}

std::string LinuxBlockDevices::name(const std::string& majMin) const
{
    const std::string dir = devDir(majMin);
    return dir.empty() ? std::string() : fs::path(dir).filename().string();
}

std::string LinuxBlockDevices::devName(const std::string& majMin) const
{
    const std::string dir = devDir(majMin);
    if (dir.empty())
        return {};
    std::ifstream uevent(dir + "/uevent");
    std::string line;
    while (std::getline(uevent, line))
        if (line.rfind("DEVNAME=", 0) == 0)
            return line.substr(8);
    return fs::path(dir).filename().string();
}

void LinuxBlockDevices::collectWholeDisks(const std::string& dir, std::vector<std::string>& disks,
                                          int depth) const
{
    if (dir.empty() || depth > 8)
        return;
    const fs::path path(dir);
    if (fs::exists(path / "partition")) {
        collectWholeDisks(path.parent_path().string(), disks, depth + 1);
        return;
    }
    std::error_code error;
    bool stacked = false;
    for (const auto& slave : fs::directory_iterator(path / "slaves", error)) {
        stacked = true;
        collectWholeDisks(classDir(slave.path().filename().string()), disks, depth + 1);
    }
    if (!stacked) {
        const std::string disk = path.filename().string();
        if (std::find(disks.begin(), disks.end(), disk) == disks.end())
            disks.push_back(disk);
    }
}

std::vector<std::string> LinuxBlockDevices::wholeDisks(const std::string& majMin) const
{
    std::vector<std::string> disks;
    collectWholeDisks(devDir(majMin), disks, 0);
    std::sort(disks.begin(), disks.end(), naturalNameLess);
    return disks;
}

int LinuxBlockDevices::partitionNumber(const std::string& majMin) const
{
    const std::string dir = devDir(majMin);
    if (dir.empty())
        return 0;
    const std::string number = readLine(fs::path(dir) / "partition");
    return number.empty() ? 0 : std::atoi(number.c_str());
}

bool LinuxBlockDevices::removable(const std::string& disk) const
{
    return readLine(fs::path(sysRoot_) / "block" / disk / "removable") == "1";
}

std::string LinuxBlockDevices::devicePath(const std::string& disk) const
{
    return classDir(disk);
}
