#include "disk/linux/LinuxVolumes.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kFirstLetter = 'C';
constexpr int kLastLetter = 'Z';
constexpr int kMaxLinkHops = 8;
const std::string kDev = "/dev/";

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The block device a path below /dev names, following links that stay below /dev.
const BlockDevice* deviceOfNode(std::string path, const BlockDevices& blocks, const DevLinkReader& readDevLink)
{
    for (int hop = 0; hop <= kMaxLinkHops && startsWith(path, kDev); ++hop) {
        const std::string name = path.substr(kDev.size());
        if (const BlockDevice* device = blocks.byName(name))
            return device;
        if (startsWith(name, "mapper/"))
            if (const BlockDevice* device = blocks.byMapperName(name.substr(7)))
                return device;
        const auto target = readDevLink(path);
        if (!target)
            return nullptr;
        path = joinLexically(path.substr(0, path.find_last_of('/')), *target);
    }
    return nullptr;
}

// The device paths of a source: one, or several joined by ":" before "/dev/".
std::vector<std::string> sourcePaths(const std::string& source)
{
    std::vector<std::string> paths;
    size_t at = 0;
    while (startsWith(source.substr(at), kDev)) {
        const size_t next = source.find(":" + kDev, at);
        paths.push_back(source.substr(at, next == std::string::npos ? std::string::npos : next - at));
        if (next == std::string::npos)
            break;
        at = next + 1;
    }
    return paths;
}

std::string superOption(const std::string& options, const std::string& key)
{
    size_t at = 0;
    while (at < options.size()) {
        const size_t end = std::min(options.find(',', at), options.size());
        const std::string option = options.substr(at, end - at);
        if (startsWith(option, key + "="))
            return option.substr(key.size() + 1);
        at = end + 1;
    }
    return {};
}

bool holdsPath(const std::string& mountPoint, const std::string& path)
{
    if (mountPoint == "/")
        return startsWith(path, "/");
    return path == mountPoint || startsWith(path, mountPoint + "/");
}

}  // namespace

BtrfsMembers readBtrfsMembers(const MachineReader& reader)
{
    BtrfsMembers members;
    for (const std::string& filesystem : reader.listFolder("/sys/fs/btrfs")) {
        std::vector<std::string> devices = reader.listFolder("/sys/fs/btrfs/" + filesystem + "/devices");
        std::sort(devices.begin(), devices.end());
        for (const auto& device : devices)
            members[device] = devices;
    }
    return members;
}

std::vector<MountedFilesystem> resolveMounts(const std::vector<MountEntry>& mounts, const BlockDevices& blocks,
                                             const BtrfsMembers& btrfs, const DevLinkReader& readDevLink)
{
    std::vector<MountedFilesystem> resolved;
    for (const auto& mount : mounts) {
        std::vector<std::string> devices;
        if (const BlockDevice* device = blocks.byMajMin(mount.majMin)) {
            devices.push_back(device->name);
        } else {
            for (const auto& path : sourcePaths(mount.source))
                if (const BlockDevice* device = deviceOfNode(path, blocks, readDevLink))
                    devices.push_back(device->name);
        }
        if (mount.type == "btrfs") {
            const auto members = btrfs.find(devices.empty() ? std::string() : devices.front());
            if (members != btrfs.end())
                devices.insert(devices.end(), members->second.begin(), members->second.end());
        }
        std::sort(devices.begin(), devices.end());
        devices.erase(std::unique(devices.begin(), devices.end()), devices.end());
        resolved.push_back({mount.mountPoint, devices});
    }
    // An overlay lies where its upper (written) folder lies: on the
    // innermost other mount that holds that folder.
    for (size_t i = 0; i < mounts.size(); ++i) {
        const std::string upper = superOption(mounts[i].superOptions, "upperdir");
        if (mounts[i].type != "overlay" || upper.empty())
            continue;
        const MountedFilesystem* holder = nullptr;
        for (size_t j = 0; j < mounts.size(); ++j) {
            if (j == i || mounts[j].type == "overlay" || !holdsPath(resolved[j].mountPoint, upper))
                continue;
            if (!holder || resolved[j].mountPoint.size() >= holder->mountPoint.size())
                holder = &resolved[j];
        }
        if (holder)
            resolved[i].devices = holder->devices;
    }
    return resolved;
}

std::vector<LinuxVolume> letterVolumes(const std::vector<MountedFilesystem>& filesystems, const BlockDevices& blocks,
                                       const std::function<int(const std::string&)>& numberOf)
{
    std::vector<LinuxVolume> volumes;
    for (const auto& filesystem : filesystems) {
        if (filesystem.devices.empty())
            continue;
        const auto known = std::find_if(volumes.begin(), volumes.end(),
                                        [&](const LinuxVolume& volume) { return volume.devices == filesystem.devices; });
        if (known != volumes.end()) {
            known->mountPoint = std::min(known->mountPoint, filesystem.mountPoint);
            continue;
        }
        LinuxVolume volume;
        volume.devices = filesystem.devices;
        volume.mountPoint = filesystem.mountPoint;
        std::vector<std::string> disks;
        for (const auto& device : filesystem.devices)
            for (const auto& disk : blocks.wholeDisks(device))
                if (std::find(disks.begin(), disks.end(), disk) == disks.end())
                    disks.push_back(disk);
        if (disks.size() == 1) {
            volume.wholeDisk = disks.front();
            volume.diskNumber = numberOf(volume.wholeDisk);
            if (filesystem.devices.size() == 1)
                if (const BlockDevice* device = blocks.byName(filesystem.devices.front()))
                    volume.partition = device->partition;
        }
        volumes.push_back(volume);
    }
    // Drive number (volumes on none last), partition number, mount point.
    std::sort(volumes.begin(), volumes.end(), [](const LinuxVolume& a, const LinuxVolume& b) {
        const int diskA = a.diskNumber < 0 ? INT_MAX : a.diskNumber, diskB = b.diskNumber < 0 ? INT_MAX : b.diskNumber;
        if (diskA != diskB)
            return diskA < diskB;
        if (a.partition != b.partition)
            return a.partition < b.partition;
        return a.mountPoint < b.mountPoint;
    });
    if (volumes.size() > kLastLetter - kFirstLetter + 1)
        volumes.resize(kLastLetter - kFirstLetter + 1);
    for (size_t i = 0; i < volumes.size(); ++i)
        volumes[i].letter = static_cast<char>(kFirstLetter + i);
    return volumes;
}
