#include "cli/SmartReport.h"

#include "cli/ExitStatus.h"

#include <algorithm>

namespace {

// An answered sector carries at least its revision number.
bool answered(const uint8_t* sector, size_t length)
{
    return std::any_of(sector, sector + length, [](uint8_t byte) { return byte != 0; });
}

}  // namespace

SmartReport evaluateSmart(const DriveReading& drive, const texts::TextLookup& shown)
{
    SmartReport report;
    if (drive.skipped || !drive.disk.valid)
        return report;
    report.rows = smart::BuildSmartTable(drive.disk, [&](int life) { report.life = life; }, shown);
    if (report.life)
        report.health = smart::HealthLevelOf(*report.life);
    report.healthRead = smart::HealthDataRead(drive.disk);
    // An NVMe drive answers with its health log page, which has no thresholds.
    report.smartRead = report.healthRead && (drive.disk.isNvme || answered(drive.disk.smartThreshold,
                                                                            sizeof drive.disk.smartThreshold));
    return report;
}

int exitBits(const DriveReading& drive, const SmartReport& report)
{
    if (drive.skipped)
        return kExitOk;
    if (!drive.disk.valid)
        return kExitDeviceUnreadable;
    int bits = report.smartRead ? kExitOk : kExitCommandFailed;
    const bool overLimit = std::any_of(report.rows.begin(), report.rows.end(), [](const smart::SmartTableRow& row) {
        const smart::StatusKind kind = row.row.judged.kind;
        return kind != smart::StatusKind::None && kind != smart::StatusKind::Ok;
    });
    if (overLimit || report.health == smart::HealthLevel::Warning)
        bits |= kExitWarning;
    return bits;
}
