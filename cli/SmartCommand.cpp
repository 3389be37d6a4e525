// `quillfence-cli smart N|--all [--json] [--include-system] [--nocheck standby]`:
// the SMART table of physical drive N, or of every listed drive, as the SMART
// page shows it, with the remaining life and the health level.

#include "cli/Commands.h"
#include "common/TextLookup.h"
#include "cli/DisplayWidth.h"
#include "cli/DriveJson.h"
#include "cli/ExitStatus.h"
#include "cli/Latin1.h"
#include "cli/Options.h"
#include "cli/Print.h"
#include "cli/TextEscape.h"
#include "cli/UiText.h"
#include "common/UiText.h"

#include <algorithm>
#include <array>

namespace {

// The column titles and the rows, each column as wide as its widest text
// on a terminal, two blanks apart.
std::string alignedRows(const std::vector<smart::SmartTableRow>& rows)
{
    std::array<size_t, smart::kSmartColumnCount> widths{};
    for (int c = 0; c < smart::kSmartColumnCount; ++c) {
        widths[c] = displayWidth(smart::kSmartColumnTitles[c]);
        for (const auto& row : rows)
            widths[c] = std::max(widths[c], displayWidth(row.cells[c]));
    }
    std::string text;
    auto addRow = [&](auto cellOf) {
        for (int c = 0; c < smart::kSmartColumnCount; ++c) {
            const std::string cell = cellOf(c);
            text += cell + std::string(widths[c] - displayWidth(cell) + 2, ' ');
        }
        text += '\n';
    };
    addRow([](int c) { return std::string(smart::kSmartColumnTitles[c]); });
    for (const auto& row : rows)
        addRow([&](int c) { return row.cells[c]; });
    return text;
}

std::string tableText(const DriveReading& drive, const SmartReport& report)
{
    const PhyDiskInfo& disk = drive.disk;
    std::string text = "PhysicalDrive" + std::to_string(disk.diskNum) + "  ";
    if (drive.skipped)
        return text + "in standby: not read\n";
    if (disk.busy)
        return text + kBusyText + '\n';
    if (!disk.valid)
        return text + "identity could not be read\n";
    text += printable(latin1ToUtf8(disk.model)) + (disk.isMakerDisk ? "  (maker's drive)" : "") + '\n';
    if (report.rows.empty()) {
        // As the SMART page says it: the drive did not answer, or answered
        // with no attribute the table shows.
        text += uiText("smart", report.healthRead ? smart::kSmartNoAttributesText : smart::kSmartUnreadableText) + '\n';
    } else {
        text += alignedRows(report.rows);
    }
    if (report.life)
        text += texts::fill(uiText("cli", QF_TEXT("cli", "剩余寿命 %1%")), {std::to_string(*report.life)}) + '\n';
    if (report.health)
        text += texts::fill(uiText("cli", QF_TEXT("cli", "健康指标 %1")),
                          {uiText("smart", smart::HealthLevelText(*report.health))}) + '\n';
    return text;
}

Json smartJson(const DriveReading& drive, const SmartReport& report)
{
    Json out = driveJson(drive);
    addSmartJson(out, report);
    return out;
}

}  // namespace

int smartCommand(const Arguments& args)
{
    std::string problem;
    const auto options = parseOptions(args, {true, true, false}, problem);
    if (!options)
        return usage("smart", problem);

    std::vector<DriveReading> drives;
    int bits = kExitOk;
    if (options->all) {
        if (readDrives(options->read, drives) != DiskListStatus::Listed)
            bits |= kExitDeviceUnreadable;
    } else {
        auto drive = readDrive(*options->diskNum, options->read);
        // A drive that cannot be shown is only named on standard error.
        if (!drive)
            return kExitDeviceUnreadable;
        if (drive->disk.busy) {
            std::fprintf(stderr, "quillfence-cli: physical drive %d is %s\n", drive->disk.diskNum, kBusyText);
            return kExitDeviceUnreadable;
        }
        if (!drive->skipped && !drive->disk.valid) {
            std::fprintf(stderr, "quillfence-cli: the identity of physical drive %d could not be read\n",
                         drive->disk.diskNum);
            return kExitDeviceUnreadable;
        }
        drives.push_back(*drive);
    }

    Json out = jsonHeader("smart", args);
    std::string text;
    // The JSON keeps the Chinese texts; the text output is in the user's language.
    const texts::TextLookup shown = options->json ? texts::TextLookup{} : texts::TextLookup{uiText};
    for (const DriveReading& drive : drives) {
        const SmartReport report = evaluateSmart(drive, shown);
        bits |= exitBits(drive, report);
        if (!options->json)
            text += (text.empty() ? "" : "\n") + tableText(drive, report);
        else if (options->all)
            out["disks"].push_back(smartJson(drive, report));
        else
            out.update(smartJson(drive, report));
    }
    if (options->json && options->all && !out.contains("disks"))
        out["disks"] = Json::array();
    printOut(options->json ? jsonLine(out) : text.empty() ? "No disks.\n" : text);
    return bits;
}
