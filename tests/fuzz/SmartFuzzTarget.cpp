// Arbitrary SMART sectors, thresholds, model fields and maker flags, and NVMe
// health logs, through catalogue choice, evaluation and the cell texts.
// Besides the sanitizers, the checks below stop the run when a result breaks
// a rule of the table.

#include <string>
#include <vector>

#include "smart/core/SmartCatalog.h"
#include "smart/core/SmartEvaluate.h"
#include "smart/core/SmartTable.h"
#include "tests/fuzz/FuzzRule.h"
#include "tests/fuzz/SmartFuzzInput.h"

namespace {

int FilledSlots(const PhyDiskInfo& record) {
    int filled = 0;
    for (int slot = 0; slot < smart::kSmartSlotCount; ++slot) {
        if (record.smartData[2 + 12 * slot] != 0) ++filled;
    }
    return filled;
}

// An NVMe drive's table: a row per field of a log that was read (each bit of
// the critical warning one more, sensors that report 0 none), the life once.
void CheckNvmeTable(const PhyDiskInfo& record) {
    using namespace smart;
    std::vector<int> lives;
    const std::vector<SmartTableRow> table =
        BuildSmartTable(record, [&](int life) { lives.push_back(life); });
    if (!record.nvmeHealthRead) {
        Require(table.empty() && lives.empty(), "no rows and no life of a log not read");
        return;
    }
    Require(table.size() >= 17 && table.size() <= 17 + 8 + 8, "a row per health field");
    Require(lives.size() == 1 && lives[0] >= 0 && lives[0] <= 100, "a life of 0 to 100, once");
    for (const SmartTableRow& row : table) {
        Require(row.cells[kColumnId].size() == 2, "ID is two digits");
        const std::string& raw = row.cells[kColumnRawValue];
        Require(raw.size() >= 2 + 3 * kSmartRawLength && (raw.size() - 2) % 3 == 0, "raw value text");
        Require(row.cells[kColumnValue].empty() && row.cells[kColumnWorst].empty() &&
                    row.cells[kColumnThreshold].empty(),
                "no normalized values");
        const std::string& status = row.cells[kColumnStatus];
        Require((row.statusTone == StatusTone::Ok) == (status.compare(0, 2, "OK") == 0), "OK statuses are blue");
        Require((row.statusTone == StatusTone::Default) == status.empty(), "tone of status");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t length) {
    using namespace smart;
    const PhyDiskInfo record = DecodeFuzzInput(input, length);
    if (record.isNvme) {
        CheckNvmeTable(record);
        return 0;
    }
    const bool isMakerDisk = record.isMakerDisk != 0;

    const std::vector<SmartAttrDesc> attrTable = BuildAttrTable(ModelText(record), isMakerDisk);
    const size_t size = attrTable.size();
    Require(isMakerDisk ? (size == 15 || size == 17) : size == 0, "catalogue size");

    SmartRows rows;
    int count = -1;
    std::vector<int> lives;
    EvaluateSmart(attrTable, isMakerDisk, record.smartData, record.smartThreshold, rows, count,
                  [&](int life) {
                      Require(count >= 0 && count < kSmartSlotCount, "life while rows are built");
                      lives.push_back(life);
                  });
    Require(count >= 0 && count <= kSmartSlotCount, "row count");
    Require(lives.size() <= 1, "life reported at most once");
    if (isMakerDisk) {
        Require(static_cast<size_t>(count) <= size, "one row per catalogue entry at most");
    } else {
        Require(count == FilledSlots(record), "one row per filled slot");
        Require(lives.empty(), "no life without a catalogue");
    }

    const std::vector<SmartTableRow> table = BuildSmartTable(record, LifeReport());
    Require(table.size() == static_cast<size_t>(count), "table matches evaluation");
    for (const SmartTableRow& row : table) {
        Require(row.cells[kColumnId].size() == 2, "ID is two digits");
        Require(row.cells[kColumnRawValue].size() == 2 + 3 * kSmartRawLength, "raw value text");
        const std::string& status = row.cells[kColumnStatus];
        const bool ok = status.compare(0, 2, "OK") == 0;
        Require((row.statusTone == StatusTone::Ok) == ok, "OK statuses are blue");
        Require((row.statusTone == StatusTone::Default) == status.empty(), "tone of status");
        if (!isMakerDisk) Require(status.empty(), "no status without a catalogue");
    }
    return 0;
}
