#pragma once
// One reading of one drive as the health history keeps it: when, which
// drive, its remaining life and health level, every row of its SMART table
// as typed values, and the power state it was found in. Standard C++ only:
// the window and quillfence-cli make and read the same samples.

#include "disk/PhyDiskInfo.h"
#include "disk/PowerMode.h"
#include "smart/core/HealthLevel.h"
#include "smart/core/SmartTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace history {

// What tells one drive from another across readings, whatever its number.
struct DriveKey {
    std::string model;   // UTF-8
    std::string serial;  // UTF-8
    std::string wwn;     // 16 lower-case hexadecimal digits; empty where the drive reports none

    bool operator==(const DriveKey& other) const
    {
        return model == other.model && serial == other.serial && wwn == other.wwn;
    }
    bool operator!=(const DriveKey& other) const { return !(*this == other); }
};

// A SMART row's values as the CLI's JSON (format 1) types them.
struct SampleRow {
    int attributeId = 0;
    std::string name;                      // the value's ASCII key; empty on other makers' drives
    std::optional<int> normalizedValue;    // none on an NVMe drive
    std::optional<int> normalizedWorst;
    std::optional<int> normalizedThreshold;
    std::optional<uint64_t> rawValue;      // none when wider than 64 bits
    std::vector<uint8_t> rawBytes;         // least significant first
    std::optional<uint64_t> currentValue;  // none when it does not fit, or is below zero
    std::string unit;                      // the unit's word; may be empty
    std::string statusWord;                // "ok", "alert", "risk", "abnormal"; empty: never checked
    std::optional<uint64_t> limit;         // with a status only

    bool operator==(const SampleRow& other) const;
};

struct HealthSample {
    int64_t time = 0;  // seconds since 1970-01-01 UTC
    DriveKey drive;
    std::optional<int> life;  // percent, as the drive reports it
    std::optional<smart::HealthLevel> level;
    std::string powerMode;    // PowerModeName(), or empty when it was not asked
    std::vector<SampleRow> rows;
};

DriveKey DriveKeyOf(const PhyDiskInfo& record);
SampleRow SampleRowOf(const smart::SmartTableRow& row);

// The sample of a drive as read at `time`; nothing for a drive whose
// identity was not read (it was left in standby, was busy or failed).
std::optional<HealthSample> SampleOf(const PhyDiskInfo& record, std::optional<PowerMode> powerMode, int64_t time);

// What the history charts draw of a sample: the drive's current temperature
// in ℃ and the data the host wrote in bytes, where the drive reports them.
std::optional<int64_t> TemperatureOf(const std::vector<SampleRow>& rows);
std::optional<uint64_t> DataWrittenOf(const std::vector<SampleRow>& rows);

// The present time in seconds since 1970-01-01 UTC.
int64_t Now();

}  // namespace history
