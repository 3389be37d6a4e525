#include "history/HealthSample.h"

#include "cli/Latin1.h"
#include "smart/core/SmartCatalog.h"
#include "smart/core/SmartFormat.h"
#include "smart/core/SmartNames.h"

#include <chrono>
#include <cstdio>
#include <limits>

namespace history {

namespace {

// The rows the charts take their values from, by the value's key.
const char* const kTemperatureKeys[] = {"current_temperature", "composite_temperature"};
constexpr const char kHostWriteKey[] = "host_write_volume";
constexpr uint64_t kSectorBytes = 512;

const SampleRow* RowNamed(const std::vector<SampleRow>& rows, const std::string& name)
{
    for (const SampleRow& row : rows) {
        if (row.name == name)
            return &row;
    }
    return nullptr;
}

}  // namespace

bool SampleRow::operator==(const SampleRow& other) const
{
    return attributeId == other.attributeId && name == other.name && normalizedValue == other.normalizedValue &&
           normalizedWorst == other.normalizedWorst && normalizedThreshold == other.normalizedThreshold &&
           rawValue == other.rawValue && rawBytes == other.rawBytes && currentValue == other.currentValue &&
           unit == other.unit && statusWord == other.statusWord && limit == other.limit;
}

DriveKey DriveKeyOf(const PhyDiskInfo& record)
{
    DriveKey key;
    key.model = latin1ToUtf8(smart::ModelText(record).c_str());
    key.serial = latin1ToUtf8(record.serialNumber);
    if (record.wwn) {
        char text[24];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(record.wwn));
        key.wwn = text;
    }
    return key;
}

SampleRow SampleRowOf(const smart::SmartTableRow& entry)
{
    const smart::SmartRow& values = entry.row;
    SampleRow row;
    row.attributeId = values.id;
    row.name = smart::ValueKey(values.description);
    if (entry.normalized) {
        row.normalizedValue = values.value;
        row.normalizedWorst = values.worst;
        row.normalizedThreshold = values.threshold;
    }
    row.rawValue = smart::RawBytesNumber(entry.rawBytes);
    row.rawBytes.assign(entry.rawBytes.rbegin(), entry.rawBytes.rend());
    if (entry.numberFits)
        row.currentValue = values.number;
    row.unit = smart::UnitWord(values.unit);
    if (const char* status = smart::StatusWord(values.judged.kind)) {
        row.statusWord = status;
        row.limit = values.judged.limit;
    }
    return row;
}

std::optional<HealthSample> SampleOf(const PhyDiskInfo& record, std::optional<PowerMode> powerMode, int64_t time)
{
    if (!record.valid)
        return std::nullopt;
    HealthSample sample;
    sample.time = time;
    sample.drive = DriveKeyOf(record);
    for (const smart::SmartTableRow& row : smart::BuildSmartTable(record, [&](int life) { sample.life = life; }))
        sample.rows.push_back(SampleRowOf(row));
    if (sample.life)
        sample.level = smart::HealthLevelOf(*sample.life);
    if (powerMode)
        sample.powerMode = PowerModeName(*powerMode);
    return sample;
}

std::optional<int64_t> TemperatureOf(const std::vector<SampleRow>& rows)
{
    for (const char* key : kTemperatureKeys) {
        const SampleRow* row = RowNamed(rows, key);
        if (row && row->currentValue && *row->currentValue <= static_cast<uint64_t>(std::numeric_limits<int>::max()))
            return static_cast<int64_t>(*row->currentValue);
    }
    return std::nullopt;
}

std::optional<uint64_t> DataWrittenOf(const std::vector<SampleRow>& rows)
{
    const SampleRow* row = RowNamed(rows, kHostWriteKey);
    if (!row || !row->currentValue)
        return std::nullopt;
    if (row->unit == "bytes")
        return *row->currentValue;
    if (row->unit == "sectors" && *row->currentValue <= std::numeric_limits<uint64_t>::max() / kSectorBytes)
        return *row->currentValue * kSectorBytes;
    return std::nullopt;
}

int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace history
