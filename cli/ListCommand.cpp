#include "cli/ListCommand.h"

#include "disk/DiskList.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iomanip>
#include <vector>

namespace {

nlohmann::ordered_json diskJson(const PhyDiskInfo& disk)
{
    nlohmann::ordered_json partitions = nlohmann::ordered_json::array();
    for (int k = 0; k < disk.partCount; ++k)
        partitions.push_back({{"letter", std::string(1, disk.partLetter[k])},
                              {"total", disk.partTotal[k]},
                              {"free", disk.partFree[k]}});
    uint32_t busType = 0;
    nlohmann::ordered_json bus = GetBusType(disk.diskNum, busType) ? nlohmann::ordered_json(busType) : nlohmann::ordered_json();
    return {{"diskNum", disk.diskNum},
            {"capacity", disk.capacity},
            {"isSystemDisk", disk.isSystemDisk != 0},
            {"busType", bus},
            {"partitions", partitions}};
}

void printTable(const nlohmann::ordered_json& disks, std::ostream& out)
{
    out << std::fixed << std::setprecision(2);
    if (disks.empty()) {
        out << "No disks.\n";
        return;
    }
    for (const auto& disk : disks) {
        out << "PhysicalDrive" << disk["diskNum"].get<int>() << "  " << disk["capacity"].get<double>()
            << " GB  bus " << (disk["busType"].is_null() ? std::string("?") : disk["busType"].dump()) << '\n';
        if (disk["partitions"].empty())
            out << "  (no lettered partition)\n";
        for (const auto& part : disk["partitions"])
            out << "  " << part["letter"].get<std::string>() << ":  " << part["free"].get<double>()
                << " GB free of " << part["total"].get<double>() << " GB\n";
    }
}

}  // namespace

int listCommand(bool json, std::ostream& out)
{
    int diskCount = 0;
    std::vector<PhyDiskInfo> diskList(kMaxDisks);
    ReadDiskList(diskCount, diskList.data());

    nlohmann::ordered_json disks = nlohmann::ordered_json::array();
    for (int i = 0; i < diskCount; ++i)
        disks.push_back(diskJson(diskList[i]));
    if (json)
        out << nlohmann::ordered_json{{"disks", disks}}.dump() << '\n';
    else
        printTable(disks, out);
    return 0;
}
