#include "disk/linux/LinuxVolumes.h"

#include <algorithm>
#include <climits>
#include <map>
#include <sstream>
#include <tuple>

namespace {

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// mountinfo escapes space, tab, newline and backslash as \ooo.
std::string unescape(const std::string& field)
{
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) && isOctalDigit(field[i + 2]) &&
            isOctalDigit(field[i + 3])) {
            text += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

constexpr int kFirstLetter = 'C';
constexpr int kLastLetter = 'Z';

}  // namespace

std::vector<MountEntry> parseMountInfo(const std::string& text)
{
    std::vector<MountEntry> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string id, parent, majMin, root, mountPoint;
        if (!(fields >> id >> parent >> majMin >> root >> mountPoint))
            continue;
        if (majMin.find(':') == std::string::npos)
            continue;
        entries.push_back({majMin, unescape(mountPoint)});
    }
    return entries;
}

std::vector<LinuxVolume> letterVolumes(const std::vector<MountEntry>& entries,
                                       const std::vector<std::string>& physicalDisks,
                                       const std::function<BlockDeviceFacts(const std::string&)>& factsOf)
{
    std::map<std::string, LinuxVolume> byDevice;
    for (const auto& entry : entries) {
        auto known = byDevice.find(entry.majMin);
        if (known != byDevice.end()) {
            known->second.mountPoint = std::min(known->second.mountPoint, entry.mountPoint);
            continue;
        }
        const BlockDeviceFacts facts = factsOf(entry.majMin);
        if (!facts.isBlockDevice)
            continue;
        LinuxVolume volume;
        volume.majMin = entry.majMin;
        volume.mountPoint = entry.mountPoint;
        volume.partition = facts.partition;
        if (facts.wholeDisks.size() == 1) {
            volume.wholeDisk = facts.wholeDisks.front();
            const auto at = std::find(physicalDisks.begin(), physicalDisks.end(), volume.wholeDisk);
            if (at != physicalDisks.end())
                volume.diskNumber = static_cast<int>(at - physicalDisks.begin());
        }
        byDevice.emplace(entry.majMin, volume);
    }

    std::vector<LinuxVolume> volumes;
    for (auto& item : byDevice)
        volumes.push_back(item.second);
    auto order = [](const LinuxVolume& v) {
        return std::make_tuple(v.diskNumber < 0 ? INT_MAX : v.diskNumber, v.partition, v.mountPoint);
    };
    std::sort(volumes.begin(), volumes.end(),
              [&](const LinuxVolume& a, const LinuxVolume& b) { return order(a) < order(b); });
    if (volumes.size() > kLastLetter - kFirstLetter + 1)
        volumes.resize(kLastLetter - kFirstLetter + 1);
    for (size_t i = 0; i < volumes.size(); ++i)
        volumes[i].letter = static_cast<char>(kFirstLetter + i);
    return volumes;
}
