// `quillfence-cli record [--include-system]`: one sample of every listed
// drive into the health history, for timers and cron; a drive in standby is
// left asleep (CHECK POWER MODE only) and adds no sample.
// `quillfence-cli history N [--json | --csv] [--since TIME]`: the samples
// and alert events the history holds of physical drive N.

#include "cli/HistoryCommands.h"

#include "cli/DiskLookup.h"
#include "cli/DisplayWidth.h"
#include "cli/DriveJson.h"
#include "cli/ExitStatus.h"
#include "cli/Options.h"
#include "cli/Print.h"
#include "cli/TextEscape.h"
#include "cli/UiText.h"
#include "history/HealthStore.h"
#include "history/SampleRows.h"
#include "smart/core/SmartFormat.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <vector>

namespace {

std::unique_ptr<history::HealthStore> openStore()
{
    const auto file = history::HealthStore::DefaultFile();
    if (!file) {
        printErr("quillfence-cli: the health history has no place: neither XDG_DATA_HOME nor HOME is set\n");
        return nullptr;
    }
    std::string error;
    auto store = history::HealthStore::Open(*file, error);
    if (!store)
        printErr("quillfence-cli: the health history cannot be opened: " + error + "\n");
    return store;
}

// Says once where a damaged database was put.
void reportSetAside(history::HealthStore& store)
{
    if (const auto aside = store.TakeSetAside())
        printErr("quillfence-cli: the health history " + store.File().string() + " was damaged: it was set aside as " +
                 aside->string() + " and a new one started\n");
}

std::string localTime(int64_t time)
{
    const std::time_t seconds = static_cast<std::time_t>(time);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&seconds));
    return text;
}

template <typename T>
std::string orDash(const std::optional<T>& value)
{
    return value ? std::to_string(*value) : std::string("-");
}

template <typename T>
Json orNull(const std::optional<T>& value)
{
    return value ? Json(*value) : Json();
}

Json textOrNull(const std::string& text)
{
    return text.empty() ? Json() : Json(text);
}

std::string levelWord(const history::HealthSample& sample)
{
    return sample.level ? smart::HealthLevelWord(*sample.level) : "";
}

// --- record ------------------------------------------------------------

int recordCommand(const Arguments& args)
{
    std::string problem;
    auto options = parseOptions(args, {false, false, false}, problem);
    if (!options)
        return usage("record", problem);
    options->read.noCheckStandby = true;  // a timer never wakes a drive
    std::vector<DriveReading> drives;
    int bits = readDrives(options->read, drives) == DiskListStatus::Listed ? kExitOk : kExitDeviceUnreadable;
    const auto store = openStore();
    if (!store)
        return bits | kExitOutputFailed;
    const int64_t now = history::Now();
    std::string text;
    for (const DriveReading& drive : drives) {
        text += "PhysicalDrive" + std::to_string(drive.disk.diskNum) + "  ";
        if (drive.skipped) {
            text += "in standby: not read\n";
            continue;
        }
        const auto sample = history::SampleOf(drive.disk, drive.powerMode, now);
        if (!sample) {
            text += drive.disk.busy ? std::string(kBusyText) + '\n' : "identity could not be read\n";
            bits |= kExitDeviceUnreadable;
            continue;
        }
        std::string error;
        const auto events = store->Record(*sample, error);
        reportSetAside(*store);
        if (!events) {
            text += "not stored\n";
            printErr("quillfence-cli: the sample of physical drive " + std::to_string(drive.disk.diskNum) +
                     " could not be stored: " + error + "\n");
            bits |= kExitOutputFailed;
            continue;
        }
        text += "sample stored\n";
        for (const history::AlertEvent& event : *events)
            text += "  " + history::AlertText(event, uiText) + '\n';
    }
    printOut(text.empty() ? "No disks.\n" : text);
    return bits;
}

// --- history -------------------------------------------------------------

struct HistoryOptions {
    int diskNum = -1;
    bool json = false, csv = false;
    int64_t since = INT64_MIN;
    bool includeSystem = false;
};

std::optional<HistoryOptions> parseHistoryOptions(const Arguments& args, std::string& problem)
{
    HistoryOptions options;
    bool haveDrive = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--json" && !options.json) {
            options.json = true;
        } else if (word == "--csv" && !options.csv) {
            options.csv = true;
        } else if (word == "--include-system") {
            options.includeSystem = true;
        } else if (word == "--since") {
            if (i + 1 >= args.size()) {
                problem = "--since needs a date: YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS], with Z for UTC";
                return std::nullopt;
            }
            const auto since = history::ParseTime(args[++i]);
            if (!since) {
                problem = printable(args[i]) + " is not a date: YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS], with Z for UTC";
                return std::nullopt;
            }
            options.since = *since;
        } else if (!haveDrive && parseDiskNumber(word)) {
            options.diskNum = *parseDiskNumber(word);
            haveDrive = true;
        } else {
            problem = unexpectedWord(word, !haveDrive);
            return std::nullopt;
        }
    }
    if (options.json && options.csv)
        problem = "give --json or --csv, not both";
    else if (!haveDrive)
        problem = "give a drive number N";
    return problem.empty() ? std::optional<HistoryOptions>(options) : std::nullopt;
}

Json sampleJson(const history::HealthSample& sample)
{
    Json rows = Json::array();
    for (const history::SampleRow& row : sample.rows)
        rows.push_back(history::RowJson(row));
    return {{"time", history::UtcText(sample.time)},
            {"unix_time", sample.time},
            {"life", orNull(sample.life)},
            {"health", textOrNull(levelWord(sample))},
            {"temperature", orNull(history::TemperatureOf(sample.rows))},
            {"data_written_bytes", orNull(history::DataWrittenOf(sample.rows))},
            {"power_mode", textOrNull(sample.powerMode)},
            {"rows", rows}};
}

Json eventJson(const history::StoredEvent& stored)
{
    const history::AlertEvent& event = stored.event;
    return {{"time", history::UtcText(stored.time)},
            {"unix_time", stored.time},
            {"kind", history::AlertKindWord(event.kind)},
            {"attribute_id", event.attributeId ? Json(event.attributeId) : Json()},
            {"name", textOrNull(event.name)},
            {"before", orNull(event.before)},
            {"after", orNull(event.after)},
            {"before_word", textOrNull(event.beforeWord)},
            {"after_word", textOrNull(event.afterWord)},
            {"limit", orNull(event.limit)},
            {"unit", textOrNull(event.unit)},
            {"bit", event.bit >= 0 ? Json(event.bit) : Json()}};
}

std::string csvText(const std::vector<history::HealthSample>& samples)
{
    std::string text = "time,life_percent,health,temperature_celsius,data_written_bytes,power_mode\n";
    for (const history::HealthSample& sample : samples) {
        auto field = [](const auto& value) { return value ? std::to_string(*value) : std::string(); };
        text += history::UtcText(sample.time) + ',' + field(sample.life) + ',' + levelWord(sample) + ',' +
                field(history::TemperatureOf(sample.rows)) + ',' + field(history::DataWrittenOf(sample.rows)) + ',' +
                sample.powerMode + '\n';
    }
    return text;
}

std::string tableText(const DriveReading& drive, const history::DriveKey& key,
                      const std::vector<history::HealthSample>& samples,
                      const std::vector<history::StoredEvent>& events)
{
    std::string text = "PhysicalDrive" + std::to_string(drive.disk.diskNum) + "  " + printable(key.model) +
                       "  serial " + printable(key.serial) + '\n';
    if (samples.empty() && events.empty())
        return text + "No samples.\n";
    const std::array<std::string, 6> titles = {"Time", "Life", "Health", "Temperature", "Written", "Power"};
    std::vector<std::array<std::string, 6>> lines;
    for (const history::HealthSample& sample : samples) {
        const auto temperature = history::TemperatureOf(sample.rows);
        const auto written = history::DataWrittenOf(sample.rows);
        lines.push_back({localTime(sample.time), sample.life ? std::to_string(*sample.life) + "%" : "-",
                         sample.level ? uiText("smart", smart::HealthLevelText(*sample.level)) : "-",
                         temperature ? smart::NumberWithUnit(std::to_string(*temperature), "℃", uiText) : "-",
                         written ? twoDecimals(static_cast<double>(*written) / 1e9) + " GB" : "-",
                         sample.powerMode.empty() ? "-" : sample.powerMode});
    }
    std::array<size_t, 6> widths{};
    for (size_t c = 0; c < titles.size(); ++c) {
        widths[c] = displayWidth(titles[c]);
        for (const auto& line : lines)
            widths[c] = std::max(widths[c], displayWidth(line[c]));
    }
    auto addLine = [&](const std::array<std::string, 6>& cells) {
        for (size_t c = 0; c < cells.size(); ++c)
            text += cells[c] + std::string(widths[c] - displayWidth(cells[c]) + 2, ' ');
        text += '\n';
    };
    addLine(titles);
    for (const auto& line : lines)
        addLine(line);
    text += events.empty() ? "No alerts.\n" : "Alerts:\n";
    for (const history::StoredEvent& stored : events)
        text += "  " + localTime(stored.time) + "  " + history::AlertText(stored.event, uiText) + '\n';
    return text;
}

int historyCommand(const Arguments& args)
{
    std::string problem;
    const auto options = parseHistoryOptions(args, problem);
    if (!options)
        return usage("history", problem);
    ReadOptions read;
    read.includeSystemDisk = options->includeSystem;
    const auto drive = readDrive(options->diskNum, read);
    if (!drive)
        return kExitDeviceUnreadable;
    if (!drive->disk.valid) {
        printErr("quillfence-cli: the identity of physical drive " + std::to_string(options->diskNum) +
                 (drive->disk.busy ? std::string(" could not be read: ") + kBusyText : " could not be read") + "\n");
        return kExitDeviceUnreadable;
    }
    const auto store = openStore();
    if (!store)
        return kExitDeviceUnreadable;
    reportSetAside(*store);
    const history::DriveKey key = history::DriveKeyOf(drive->disk);
    std::vector<history::HealthSample> samples;
    std::vector<history::StoredEvent> events;
    if (const auto stored = store->DriveOf(key)) {
        samples = store->Samples(stored->id, options->since);
        events = store->Events(stored->id, options->since);
    }
    if (options->csv) {
        printOut(csvText(samples));
    } else if (options->json) {
        Json out = jsonHeader("history", args);
        out["drive"] = {{"diskNum", drive->disk.diskNum},
                        {"model", key.model},
                        {"serial", key.serial},
                        {"wwn", textOrNull(key.wwn)}};
        out["since"] = options->since == INT64_MIN ? Json() : Json(history::UtcText(options->since));
        out["samples"] = Json::array();
        for (const history::HealthSample& sample : samples)
            out["samples"].push_back(sampleJson(sample));
        out["events"] = Json::array();
        for (const history::StoredEvent& event : events)
            out["events"].push_back(eventJson(event));
        printOut(jsonLine(out));
    } else {
        printOut(tableText(*drive, key, samples, events));
    }
    return kExitOk;
}

}  // namespace

const CommandTable kHistoryCommands = {
    {"record", recordCommand},
    {"history", historyCommand},
};

const char* const kHistorySynopsis =
    "       quillfence-cli record [--include-system]\n"
    "       quillfence-cli history N [--json | --csv] [--since TIME] [--include-system]\n";

const char* const kHistoryDescription =
    "  record   store one sample of every listed drive in the health history, for\n"
    "           timers and cron; a drive in standby is left asleep and not sampled\n"
    "  history  the samples and alerts the health history holds of physical drive N\n"
    "  --csv    print the samples as comma-separated values\n"
    "  --since TIME  only what came at or after TIME: YYYY-MM-DD or\n"
    "           YYYY-MM-DDTHH:MM[:SS], local time, or UTC with a trailing Z\n";
