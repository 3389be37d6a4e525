#include "app/HistoryDemo.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace history_demo {

namespace {

void setAttribute(PhyDiskInfo& disk, int slot, uint8_t id, uint64_t raw, uint8_t value = 100)
{
    uint8_t* entry = disk.smartData + 2 + 12 * slot;
    entry[0] = id;
    entry[1] = 0x32;
    entry[3] = value;
    entry[4] = value;
    for (int k = 0; k < 6; ++k, raw >>= 8)
        entry[5 + k] = raw & 0xFF;
}

// The drive's SMART values as the demo fleet has them: the history ends there.
constexpr uint64_t kPowerOnHours = 31877, kPowerCycles = 4410, kBadBlocksRaw = 176166207488, kWear = 1130,
                   kPowerLosses = 5212, kTemperaturesRaw = 304943661096, kHostWrites = 5905620992;
constexpr int kLife = 8, kFirstLife = 90;

PhyDiskInfo demoDisk(int hour, int hours, int drive = 0)
{
    PhyDiskInfo disk{};
    std::strcpy(disk.model, "QX M7A0 120G");
    std::strcpy(disk.serialNumber, "QV7A0C11280455");
    if (drive > 0)
        std::snprintf(disk.serialNumber + 14, 8, "-%d", drive);
    std::strcpy(disk.firmware, "0208A");
    disk.valid = 1;
    disk.isMakerDisk = 1;
    const int left = hours - 1 - hour;  // hours before the last sample
    const double done = hours > 1 ? static_cast<double>(hour) / (hours - 1) : 1;
    const int life = static_cast<int>(std::lround(kFirstLife - (kFirstLife - kLife) * done * done));
    // The day's warmth around the drive's temperature now, and one hot afternoon.
    const int now = static_cast<int>(kTemperaturesRaw & 0xFFFF);
    const int hot = hours - 40 * 24;
    const int days = left / 24;
    const int temperature =
        static_cast<int>(std::lround(now + 3 * std::sin(-left * M_PI / 12) + 4 * std::sin(days / 9.0) + days % 5)) +
        (hour > hot && hour < hot + 4 ? 28 : 0);
    const uint64_t lowest = kTemperaturesRaw >> 16 & 0xFFFF, highest = kTemperaturesRaw >> 32 & 0xFFFF;
    // Bad blocks came in two bursts; the counts grew before the last day.
    const uint64_t totalBad = kBadBlocksRaw >> 16 & 0xFFFF, newBad = kBadBlocksRaw >> 32 & 0xFFFF;
    const uint64_t burst = (hour < hours / 3 ? 12 : 0) + (hour < hours * 9 / 10 ? 9 : 0);
    const uint64_t losses = kPowerLosses - (hour < hours / 2 ? 3 : 0) - (left > 24 ? 1 : 0);
    setAttribute(disk, 0, 9, kPowerOnHours - left);
    setAttribute(disk, 1, 12, kPowerCycles - left / 20);
    setAttribute(disk, 2, 169, (totalBad - burst) << 16 | (newBad - std::min(newBad, burst)) << 32);
    setAttribute(disk, 3, 192, losses);
    setAttribute(disk, 4, 194, static_cast<uint64_t>(temperature) | lowest << 16 |
                                   std::max<uint64_t>(highest, static_cast<uint64_t>(temperature)) << 32);
    setAttribute(disk, 5, 231, 0, static_cast<uint8_t>(life));
    setAttribute(disk, 6, 241, kHostWrites - kHostWrites / (hours + hours / 4) * left);
    setAttribute(disk, 7, 208, kWear - static_cast<uint64_t>(left) / 40);
    return disk;
}

}  // namespace

history::DriveKey DemoDrive()
{
    return history::DriveKeyOf(demoDisk(0, 1));
}

bool FillHistory(history::HealthStore& store, int hours, bool newestFirst, std::string& error, int leaveOut,
                 int drive)
{
    const int64_t now = history::Now();
    for (int k = 0; k < hours - leaveOut; ++k) {
        const int hour = newestFirst ? hours - 1 - k : k;
        const auto sample = history::SampleOf(demoDisk(hour, hours, drive), std::nullopt, now - (hours - 1 - hour) * 3600);
        if (!sample || !store.Record(*sample, error))
            return false;
    }
    return true;
}

}  // namespace history_demo
