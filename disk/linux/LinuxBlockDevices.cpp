#include "disk/linux/LinuxBlockDevices.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sys/sysmacros.h>

namespace {

const char* const kFamilies[] = {"mmcblk", "nvme", "hd", "sd", "vd"};

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool isLower(char c)
{
    return c >= 'a' && c <= 'z';
}

// The length of the run at `at` of characters that pass `test`.
template <typename Test>
size_t run(const std::string& text, size_t at, Test test)
{
    size_t end = at;
    while (end < text.size() && test(text[end]))
        ++end;
    return end - at;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Splits a name into runs of letters and runs of digits.
std::vector<std::string> runs(const std::string& text)
{
    std::vector<std::string> parts;
    for (char c : text) {
        if (parts.empty() || isDigit(c) != isDigit(parts.back()[0]))
            parts.emplace_back();
        parts.back() += c;
    }
    return parts;
}

std::string family(const std::string& name)
{
    for (const char* prefix : kFamilies)
        if (startsWith(name, prefix))
            return prefix;
    return {};
}

std::string trimmed(const std::string& text)
{
    const size_t end = text.find_last_not_of(" \n");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string baseName(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

std::string parentName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string() : baseName(path.substr(0, slash));
}

}  // namespace

bool isPhysicalDiskName(const std::string& name)
{
    for (const char* prefix : {"sd", "hd", "vd"}) {
        if (startsWith(name, prefix)) {
            const size_t letters = run(name, 2, isLower);
            return letters > 0 && 2 + letters == name.size();
        }
    }
    if (startsWith(name, "nvme")) {
        const size_t controller = run(name, 4, isDigit);
        const size_t at = 4 + controller;
        if (controller == 0 || at >= name.size() || name[at] != 'n')
            return false;
        const size_t space = run(name, at + 1, isDigit);
        return space > 0 && at + 1 + space == name.size();
    }
    if (startsWith(name, "mmcblk")) {
        const size_t digits = run(name, 6, isDigit);
        return digits > 0 && 6 + digits == name.size();
    }
    return false;
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
        if (isDigit(x[0]) && isDigit(y[0])) {
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
    size_t at = 0;
    while (at < devicePath.size()) {
        const size_t end = std::min(devicePath.find('/', at), devicePath.size());
        const std::string part = devicePath.substr(at, end - at);
        if (startsWith(part, "usb"))
            return 7;
        if (startsWith(part, "ata") && part.size() > 3 && isDigit(part[3]))
            ata = true;
        if (startsWith(part, "nvme"))
            nvme = true;
        at = end + 1;
    }
    if (ata)
        return 11;
    return nvme ? 17 : 0;
}

std::string majMinText(uint64_t rdev)
{
    return std::to_string(major(rdev)) + ":" + std::to_string(minor(rdev));
}

BlockDevices::BlockDevices(std::vector<BlockDevice> devices) : devices_(std::move(devices))
{
    for (size_t i = 0; i < devices_.size(); ++i) {
        byName_.emplace(devices_[i].name, i);
        byMajMin_.emplace(devices_[i].majMin, i);
    }
}

BlockDevices BlockDevices::read(const MachineReader& reader)
{
    const std::string folder = "/sys/dev/block";
    std::vector<BlockDevice> devices;
    for (const std::string& majMin : reader.listFolder(folder)) {
        const auto link = reader.readLink(folder + "/" + majMin);
        if (!link)
            continue;
        BlockDevice device;
        device.majMin = majMin;
        device.path = joinLexically(folder, *link);
        device.name = baseName(device.path);
        devices.push_back(std::move(device));
    }
    BlockDevices blocks(std::move(devices));
    for (auto& device : blocks.devices_) {
        // A partition's folder lies inside its disk's folder.
        const std::string parent = parentName(device.path);
        if (blocks.byName(parent)) {
            device.disk = parent;
        } else if (isPhysicalDiskName(device.name)) {
            device.sequence =
                std::strtoull(reader.readFile(device.path + "/diskseq").value_or("0").c_str(), nullptr, 10);
        } else if (device.path.find("/virtual/") != std::string::npos) {
            device.slaves = reader.listFolder(device.path + "/slaves");
            if (startsWith(device.name, "dm-"))
                device.mapperName = trimmed(reader.readFile(device.path + "/dm/name").value_or(""));
        }
    }
    return blocks;
}

void BlockDevices::readVolumeDetails(const MachineReader& reader, const std::vector<std::string>& names)
{
    std::vector<std::string> disks;
    for (const auto& name : names) {
        const auto found = byName_.find(name);
        if (found == byName_.end())
            continue;
        BlockDevice& device = devices_[found->second];
        if (!device.disk.empty() && device.partition == 0)
            device.partition = std::atoi(reader.readFile(device.path + "/partition").value_or("0").c_str());
        for (const auto& disk : wholeDisks(name))
            if (std::find(disks.begin(), disks.end(), disk) == disks.end())
                disks.push_back(disk);
    }
    for (const auto& name : disks) {
        const auto found = byName_.find(name);
        if (found != byName_.end() && isPhysicalDiskName(name))
            devices_[found->second].removable =
                trimmed(reader.readFile(devices_[found->second].path + "/removable").value_or("")) == "1";
    }
}

const BlockDevice* BlockDevices::byName(const std::string& name) const
{
    const auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : &devices_[found->second];
}

const BlockDevice* BlockDevices::byMajMin(const std::string& majMin) const
{
    const auto found = byMajMin_.find(majMin);
    return found == byMajMin_.end() ? nullptr : &devices_[found->second];
}

const BlockDevice* BlockDevices::byMapperName(const std::string& mapperName) const
{
    for (const auto& device : devices_)
        if (!device.mapperName.empty() && device.mapperName == mapperName)
            return &device;
    return nullptr;
}

std::vector<std::string> BlockDevices::physicalDisks() const
{
    std::vector<std::string> disks;
    for (const auto& device : devices_)
        if (device.disk.empty() && isPhysicalDiskName(device.name))
            disks.push_back(device.name);
    std::sort(disks.begin(), disks.end(), naturalNameLess);
    return disks;
}

void BlockDevices::collectWholeDisks(const std::string& name, std::vector<std::string>& disks, int depth) const
{
    const BlockDevice* device = byName(name);
    if (!device || depth > 8)
        return;
    if (!device->disk.empty()) {
        collectWholeDisks(device->disk, disks, depth + 1);
        return;
    }
    for (const auto& slave : device->slaves)
        collectWholeDisks(slave, disks, depth + 1);
    if (device->slaves.empty() && std::find(disks.begin(), disks.end(), name) == disks.end())
        disks.push_back(name);
}

std::vector<std::string> BlockDevices::wholeDisks(const std::string& name) const
{
    std::vector<std::string> disks;
    collectWholeDisks(name, disks, 0);
    std::sort(disks.begin(), disks.end(), naturalNameLess);
    return disks;
}
