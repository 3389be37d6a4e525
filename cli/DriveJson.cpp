#include "cli/DriveJson.h"

#include "cli/Latin1.h"
#include "common/ProgramInfo.h"
#include "disk/BusTypes.h"
#include "smart/core/SmartNames.h"

#include <cmath>
#include <optional>
#include <cstdio>

namespace {

Json orNull(const std::optional<std::string>& text)
{
    return text ? Json(*text) : Json();
}

// A size the record holds in GB of 2^30 bytes, back in bytes. The record
// was made by scaling the byte count by powers of two, which a double does
// exactly for every size below 2^53 bytes.
uint64_t bytesOf(double gigabytes)
{
    return static_cast<uint64_t>(std::ldexp(gigabytes, 30));
}

std::string hex16(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

Json textOrNull(const std::string& text)
{
    return text.empty() ? Json() : Json(text);
}

Json rowJson(const smart::SmartTableRow& entry)
{
    Json row;
    for (int c = 0; c < smart::kSmartColumnCount; ++c)
        row[smart::kSmartColumnTitles[c]] = entry.cells[c];
    const smart::SmartRow& values = entry.row;
    Json rawBytes = Json::array();
    for (auto byte = entry.rawBytes.rbegin(); byte != entry.rawBytes.rend(); ++byte)
        rawBytes.push_back(*byte);
    const std::optional<uint64_t> rawValue = smart::RawBytesNumber(entry.rawBytes);
    const char* status = smart::StatusWord(values.judged.kind);
    row["attribute_id"] = values.id;
    row["name"] = textOrNull(smart::ValueKey(values.description));
    row["normalized_value"] = entry.normalized ? Json(values.value) : Json();
    row["normalized_worst"] = entry.normalized ? Json(values.worst) : Json();
    row["normalized_threshold"] = entry.normalized ? Json(values.threshold) : Json();
    row["raw_value"] = rawValue ? Json(*rawValue) : Json();
    row["raw_bytes"] = rawBytes;
    row["current_value"] = entry.numberFits ? Json(values.number) : Json();
    row["unit"] = textOrNull(smart::UnitWord(values.unit));
    row["status_word"] = status ? Json(status) : Json();
    row["limit"] = status ? Json(values.judged.limit) : Json();
    return row;
}

}  // namespace

Json jsonHeader(const std::string& command, const Arguments& arguments)
{
    Json words = Json::array({command});
    for (const std::string& word : arguments)
        words.push_back(word);
    return {{"json_format_version", kJsonFormatVersion},
            {"program", {{"name", "quillfence-cli"}, {"version", programVersion()}, {"arguments", words}}}};
}

Json driveJson(const DriveReading& drive)
{
    const PhyDiskInfo& disk = drive.disk;
    Json partitions = Json::array();
    for (int k = 0; k < disk.partCount; ++k)
        partitions.push_back({{"letter", std::string(1, disk.partLetter[k])},
                              {"total", disk.partTotal[k]},
                              {"free", disk.partFree[k]},
                              {"mount_point", orNull(drive.mountPoints.at(k))},
                              {"total_bytes", bytesOf(disk.partTotal[k])},
                              {"free_bytes", bytesOf(disk.partFree[k])}});
    const char* busName = drive.busType ? BusTypeName(*drive.busType) : nullptr;
    return {{"diskNum", disk.diskNum},
            {"capacity", disk.capacity},
            {"isSystemDisk", disk.isSystemDisk != 0},
            {"busType", drive.busType ? Json(*drive.busType) : Json()},
            {"serialNumber", latin1ToUtf8(disk.serialNumber)},
            {"model", latin1ToUtf8(disk.model)},
            {"firmware", latin1ToUtf8(disk.firmware)},
            {"valid", disk.valid},
            {"isMakerDisk", disk.isMakerDisk != 0},
            {"partitions", partitions},
            {"device", orNull(drive.device)},
            {"capacity_bytes", bytesOf(disk.capacity)},
            {"bus", busName ? Json(busName) : Json()},
            {"wwn", disk.wwn ? Json(hex16(disk.wwn)) : Json()},
            {"power_mode", drive.powerMode ? Json(PowerModeName(*drive.powerMode)) : Json()},
            {"skipped", drive.skipped},
            {"busy", disk.busy != 0}};
}

void addSmartJson(Json& out, const SmartReport& report)
{
    Json rows = Json::array();
    for (const auto& row : report.rows)
        rows.push_back(rowJson(row));
    out["rows"] = rows;
    out["life"] = report.life ? Json(*report.life) : Json();
    out["health"] = report.health ? Json{{"level", smart::HealthLevelText(*report.health)},
                                         {"word", smart::HealthLevelWord(*report.health)}}
                                  : Json();
    out["smart_read"] = report.smartRead;
}

std::string jsonLine(const Json& json)
{
    return json.dump(-1, ' ', false, Json::error_handler_t::replace) + '\n';
}
