#pragma once
// A drive's SMART table as the SMART page evaluates it, with the remaining
// life, the health level and what the exit status says of the drive.

#include "cli/DiskLookup.h"
#include "smart/core/HealthLevel.h"
#include "smart/core/SmartTable.h"

#include <optional>
#include <vector>

struct SmartReport {
    std::vector<smart::SmartTableRow> rows;
    std::optional<int> life;                  // the "剩余寿命" attribute's normalized value
    std::optional<smart::HealthLevel> health;
    bool smartRead = false;                   // both SMART sectors were answered
    bool healthRead = false;                  // SMART READ DATA (an NVMe drive: its health log) was answered
};

// Nothing is evaluated for a drive that was skipped or not identified. The
// rows' cells are written in the language of `shown`, Chinese without one.
SmartReport evaluateSmart(const DriveReading& drive, const texts::TextLookup& shown = {});

// The exit status bits the drive calls for: unreadable, a SMART command
// failed, a warning.
int exitBits(const DriveReading& drive, const SmartReport& report);
