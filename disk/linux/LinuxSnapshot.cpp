#include "disk/linux/LinuxSnapshot.h"

#include <algorithm>

const LinuxVolume* LinuxSnapshot::volume(char letter) const
{
    for (const auto& volume : volumes)
        if (volume.letter == letter)
            return &volume;
    return nullptr;
}

LinuxSnapshot takeSnapshot(const MachineReader& reader, DriveNumbering& numbering)
{
    LinuxSnapshot snapshot;
    snapshot.blocks = BlockDevices::read(reader);

    std::vector<PresentDisk> present;
    for (const auto& name : snapshot.blocks.physicalDisks())
        present.push_back({name, snapshot.blocks.byName(name)->sequence});
    numbering.update(present);

    const std::vector<MountEntry> mounts = parseMountInfo(reader.readMountInfo().value_or(""));
    const bool anyBtrfs =
        std::any_of(mounts.begin(), mounts.end(), [](const MountEntry& mount) { return mount.type == "btrfs"; });
    const BtrfsMembers btrfs = anyBtrfs ? readBtrfsMembers(reader) : BtrfsMembers{};
    const std::vector<MountedFilesystem> filesystems = resolveMounts(
        mounts, snapshot.blocks, btrfs, [&](const std::string& path) { return reader.readLink(path); });
    std::vector<std::string> mounted;
    for (const auto& filesystem : filesystems)
        mounted.insert(mounted.end(), filesystem.devices.begin(), filesystem.devices.end());
    std::sort(mounted.begin(), mounted.end());
    mounted.erase(std::unique(mounted.begin(), mounted.end()), mounted.end());
    snapshot.blocks.readVolumeDetails(reader, mounted);
    snapshot.volumes = letterVolumes(filesystems, snapshot.blocks,
                                     [&](const std::string& disk) { return numbering.numberOf(disk); });

    // The last mount on "/" is the one this process sees.
    for (size_t i = mounts.size(); i-- > 0;) {
        if (mounts[i].mountPoint != "/")
            continue;
        for (const auto& volume : snapshot.volumes)
            if (!filesystems[i].devices.empty() && volume.devices == filesystems[i].devices)
                snapshot.systemLetter = volume.letter;
        break;
    }
    return snapshot;
}
