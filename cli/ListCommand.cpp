#include "cli/Commands.h"

#include "cli/DiskLookup.h"
#include "disk/DiskList.h"
#include "cli/Latin1.h"
#include "cli/Print.h"

#include <nlohmann/json.hpp>

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
            {"serialNumber", latin1ToUtf8(disk.serialNumber)},
            {"model", latin1ToUtf8(disk.model)},
            {"firmware", latin1ToUtf8(disk.firmware)},
            {"valid", disk.valid},
            {"isMakerDisk", disk.isMakerDisk != 0},
            {"partitions", partitions}};
}

void printTable(const nlohmann::ordered_json& disks)
{
    if (disks.empty()) {
        printOut("No disks.\n");
        return;
    }
    std::string text;
    for (const auto& disk : disks) {
        text += "PhysicalDrive" + std::to_string(disk["diskNum"].get<int>()) + "  " +
                twoDecimals(disk["capacity"].get<double>()) + " GB  bus " +
                (disk["busType"].is_null() ? std::string("?") : disk["busType"].dump()) + '\n';
        if (disk["valid"] == 1)
            text += "  model \"" + disk["model"].get<std::string>() + "\"  serial \"" +
                    disk["serialNumber"].get<std::string>() + "\"  firmware \"" + disk["firmware"].get<std::string>() +
                    "\"" + (disk["isMakerDisk"].get<bool>() ? "  (maker's drive)" : "") + '\n';
        else
            text += "  identity could not be read\n";
        if (disk["partitions"].empty())
            text += "  (no lettered partition)\n";
        for (const auto& part : disk["partitions"])
            text += "  " + part["letter"].get<std::string>() + ":  " + twoDecimals(part["free"].get<double>()) +
                    " GB free of " + twoDecimals(part["total"].get<double>()) + " GB\n";
    }
    printOut(text);
}

}  // namespace

int listCommand(const Arguments& args)
{
    if (args.size() > 1 || (args.size() == 1 && args[0] != "--json"))
        return usage();
    const bool json = args.size() == 1;
    int diskCount = 0;
    std::vector<PhyDiskInfo> diskList;
    const DiskListStatus status = readDisks(diskCount, diskList);

    nlohmann::ordered_json disks = nlohmann::ordered_json::array();
    for (int i = 0; i < diskCount; ++i)
        disks.push_back(diskJson(diskList[i]));
    if (json)
        printOut(nlohmann::ordered_json{{"disks", disks}}.dump() + '\n');
    else
        printTable(disks);
    return status == DiskListStatus::Listed ? 0 : 1;
}
