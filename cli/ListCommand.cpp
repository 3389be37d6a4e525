// `quillfence-cli list [--json] [--include-system] [--nocheck standby]`: the
// physical disks with their identities and partitions.

#include "cli/Commands.h"

#include "cli/DriveJson.h"
#include "cli/ExitStatus.h"
#include "cli/Latin1.h"
#include "cli/Options.h"
#include "cli/Print.h"
#include "cli/TextEscape.h"

#include <algorithm>
#include <vector>

namespace {

std::string quoted(const char* latin1)
{
    return "\"" + printable(latin1ToUtf8(latin1)) + "\"";
}

void printTable(const std::vector<DriveReading>& drives)
{
    if (drives.empty()) {
        printOut("No disks.\n");
        return;
    }
    std::string text;
    for (const DriveReading& drive : drives) {
        const PhyDiskInfo& disk = drive.disk;
        text += "PhysicalDrive" + std::to_string(disk.diskNum) + "  " + twoDecimals(disk.capacity) + " GB  bus " +
                (drive.busType ? std::to_string(*drive.busType) : std::string("?")) +
                (drive.device ? "  " + printable(*drive.device) : std::string()) +
                (disk.isSystemDisk ? "  (system disk)" : "") + '\n';
        if (drive.skipped)
            text += "  in standby: not read\n";
        else if (disk.busy)
            text += std::string("  ") + kBusyText + '\n';
        else if (disk.valid)
            text += "  model " + quoted(disk.model) + "  serial " + quoted(disk.serialNumber) + "  firmware " +
                    quoted(disk.firmware) + (disk.isMakerDisk ? "  (maker's drive)" : "") + '\n';
        else
            text += "  identity could not be read\n";
        if (disk.partCount == 0)
            text += "  (no lettered partition)\n";
        for (int k = 0; k < disk.partCount; ++k)
            text += "  " + std::string(1, disk.partLetter[k]) + ":  " + twoDecimals(disk.partFree[k]) +
                    " GB free of " + twoDecimals(disk.partTotal[k]) + " GB" +
                    (drive.mountPoints[k] ? "  " + printable(*drive.mountPoints[k]) : std::string()) + '\n';
    }
    printOut(text);
}

}  // namespace

int listCommand(const Arguments& args)
{
    std::string problem;
    const auto options = parseOptions(args, {true, false, false}, problem);
    if (!options)
        return usage("list", problem);
    std::vector<DriveReading> drives;
    const DiskListStatus status = readDrives(options->read, drives);

    if (options->json) {
        Json out = jsonHeader("list", args);
        out["disks"] = Json::array();
        for (const DriveReading& drive : drives)
            out["disks"].push_back(driveJson(drive));
        printOut(jsonLine(out));
    } else {
        printTable(drives);
    }
    // A drive whose identity could not be read is listed, and fails the run
    // as it fails smart and metrics; one left in standby does not.
    const bool unidentified = std::any_of(drives.begin(), drives.end(), [](const DriveReading& drive) {
        return !drive.skipped && !drive.disk.valid;
    });
    return status == DiskListStatus::Listed && !unidentified ? kExitOk : kExitDeviceUnreadable;
}
