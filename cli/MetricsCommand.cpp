// `quillfence-cli metrics [--include-system] [--nocheck standby] [--output FILE]`:
// the readings of every listed drive in the Prometheus text exposition
// format, for a textfile collector. With --output the file is replaced as a
// whole, so that the collector never reads half of it.

#include "cli/Commands.h"
#include "cli/DiskLookup.h"
#include "cli/ExitStatus.h"
#include "cli/Latin1.h"
#include "cli/Options.h"
#include "cli/Print.h"
#include "cli/SmartReport.h"
#include "cli/TextEscape.h"
#include "files/SafeFiles.h"
#include "smart/core/SmartNames.h"

#include <map>
#include <vector>

namespace {

struct Family {
    const char* name;
    const char* help;
};

// In the order they are printed.
const Family kFamilies[] = {
    {"quillfence_disk_list_failed", "1 when the disk list could not be read (no drive is then reported)."},
    {"quillfence_drive_reading_failed", "1 when the drive's identity or SMART data could not be read."},
    {"quillfence_drive_standby",
     "1 when the drive was in standby and was left there unread (--nocheck standby), 0 otherwise."},
    {"quillfence_drive_maker", "1 for the maker's own drives, 0 for other drives."},
    {"quillfence_drive_life_percent", "Remaining life in percent, as the drive reports it."},
    {"quillfence_drive_health_level", "Health level by the remaining life: 0 warning (警告), 1 normal (正常), 2 good (良好)."},
    {"quillfence_smart_attribute_value", "The value a SMART row shows, in the unit of its unit label."},
    {"quillfence_smart_attribute_normalized", "The current normalized value of the row's attribute."},
    {"quillfence_smart_attribute_worst", "The worst normalized value of the row's attribute."},
    {"quillfence_smart_attribute_threshold", "The drive's threshold for the row's attribute."},
    {"quillfence_smart_attribute_raw", "The 48-bit raw value of the row's attribute."},
    {"quillfence_smart_attribute_limit", "The limit the row's value is checked against."},
    {"quillfence_smart_attribute_status",
     "The row's status: 0 ok, 1 over its limit (alert), 2 capacitor at risk, 3 capacitor abnormal."},
};

// A label value with backslash, double quote and line feed escaped.
std::string labelValue(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '"')
            escaped += '\\';
        if (c == '\n') {
            escaped += "\\n";
            continue;
        }
        escaped += c;
    }
    return escaped;
}

using Labels = std::vector<std::pair<std::string, std::string>>;

std::string labelText(const Labels& labels)
{
    std::string text;
    for (const auto& [name, value] : labels)
        text += (text.empty() ? "{" : ",") + name + "=\"" + labelValue(value) + "\"";
    return text.empty() ? text : text + "}";
}

// The samples of each family, gathered drive by drive and printed family by
// family, as the format wants them.
class Exposition {
public:
    void add(const char* family, const Labels& labels, uint64_t value)
    {
        samples_[family] += std::string(family) + labelText(labels) + " " + std::to_string(value) + "\n";
    }
    std::string text() const
    {
        std::string out;
        for (const Family& family : kFamilies) {
            const auto found = samples_.find(family.name);
            if (found == samples_.end())
                continue;
            out += std::string("# HELP ") + family.name + " " + family.help + "\n# TYPE " + family.name +
                   " gauge\n" + found->second;
        }
        return out;
    }

private:
    std::map<std::string, std::string> samples_;
};

uint64_t statusCode(smart::StatusKind kind)
{
    switch (kind) {
    case smart::StatusKind::Alert:
        return 1;
    case smart::StatusKind::Risk:
        return 2;
    case smart::StatusKind::Abnormal:
        return 3;
    case smart::StatusKind::None:
    case smart::StatusKind::Ok:
        break;
    }
    return 0;
}

uint64_t healthCode(smart::HealthLevel level)
{
    switch (level) {
    case smart::HealthLevel::Warning:
        return 0;
    case smart::HealthLevel::Normal:
        return 1;
    case smart::HealthLevel::Good:
        break;
    }
    return 2;
}

void addDrive(Exposition& out, const DriveReading& drive, const SmartReport& report)
{
    const PhyDiskInfo& disk = drive.disk;
    const Labels labels = {{"serial", latin1ToUtf8(disk.serialNumber)},
                           {"model", latin1ToUtf8(disk.model)},
                           {"device", drive.device.value_or("")}};
    out.add("quillfence_drive_reading_failed", labels, !drive.skipped && (!disk.valid || !report.smartRead));
    out.add("quillfence_drive_standby", labels, drive.skipped);
    if (drive.skipped || !disk.valid)
        return;
    out.add("quillfence_drive_maker", labels, disk.isMakerDisk != 0);
    if (report.life)
        out.add("quillfence_drive_life_percent", labels, static_cast<uint64_t>(*report.life));
    if (report.health)
        out.add("quillfence_drive_health_level", labels, healthCode(*report.health));
    for (const auto& entry : report.rows) {
        const smart::SmartRow& row = entry.row;
        Labels rowLabels = labels;
        rowLabels.emplace_back("id", std::to_string(row.id));
        const std::string name = smart::ValueKey(row.description);
        if (!name.empty())
            rowLabels.emplace_back("name", name);
        Labels valueLabels = rowLabels;
        const std::string unit = smart::UnitWord(row.unit);
        if (!unit.empty())
            valueLabels.emplace_back("unit", unit);
        if (entry.numberFits)
            out.add("quillfence_smart_attribute_value", valueLabels, row.number);
        // An NVMe drive's health fields have no normalized values.
        if (entry.normalized) {
            out.add("quillfence_smart_attribute_normalized", rowLabels, row.value);
            out.add("quillfence_smart_attribute_worst", rowLabels, row.worst);
            out.add("quillfence_smart_attribute_threshold", rowLabels, row.threshold);
        }
        if (const auto raw = smart::RawBytesNumber(entry.rawBytes))
            out.add("quillfence_smart_attribute_raw", rowLabels, *raw);
        if (row.judged.kind != smart::StatusKind::None) {
            out.add("quillfence_smart_attribute_limit", valueLabels, row.judged.limit);
            out.add("quillfence_smart_attribute_status", rowLabels, statusCode(row.judged.kind));
        }
    }
}

}  // namespace

int metricsCommand(const Arguments& args)
{
    std::string problem;
    const auto options = parseOptions(args, {false, false, true}, problem);
    if (!options)
        return usage("metrics", problem);
    std::vector<DriveReading> drives;
    const bool listed = readDrives(options->read, drives) == DiskListStatus::Listed;
    int bits = listed ? kExitOk : kExitDeviceUnreadable;

    Exposition out;
    out.add("quillfence_disk_list_failed", {}, !listed);
    for (const DriveReading& drive : drives) {
        const SmartReport report = evaluateSmart(drive);
        bits |= exitBits(drive, report);
        addDrive(out, drive, report);
    }
    if (options->output.empty()) {
        printOut(out.text());
    } else if (std::error_code error; !files::replaceFile(options->output, out.text(), &error)) {
        printErr("quillfence-cli: the metrics could not be written to " + printable(options->output) + ": " +
                 error.message() + "\n");
        bits |= kExitOutputFailed;
    }
    return bits;
}
