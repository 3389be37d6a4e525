#include "smart/core/SmartEvaluate.h"

#include <algorithm>
#include <string>

#include "common/UiText.h"
#include "smart/core/SmartFormat.h"
#include "smart/core/SmartStatus.h"

namespace smart {

namespace {

const char* const kLifeEntryName = QF_TEXT("smart", "剩余寿命");

// The columns both kinds of row take straight from the slot.
void FillFromSlot(SmartRow& row, const SmartSlot& slot) {
    row.id = slot.id;
    row.value = slot.value;
    row.worst = slot.worst;
    row.threshold = slot.threshold;
    std::reverse_copy(slot.raw.begin(), slot.raw.end(), row.raw.begin());
}

void EvaluateMakerDisk(const std::vector<SmartAttrDesc>& attrTable,
                       const SmartDataSector& smartData,
                       const SmartThresholdSector& smartThreshold, SmartRows& rows, int& count,
                       const LifeReport& sendLife) {
    for (const SmartAttrDesc& entry : attrTable) {
        if (count == kSmartSlotCount) return;
        const int slotIndex = FindSlot(smartData, entry.id);
        if (slotIndex < 0) continue;
        const SmartSlot slot = ReadSlot(smartData, smartThreshold, slotIndex);

        SmartRow& row = rows[count];
        FillFromSlot(row, slot);
        row.description = entry.name;

        uint64_t value = CarveValue(slot.raw, entry.firstByte, entry.lastByte);
        const uint64_t driveLimit = CarveValue(slot.limitBytes, entry.firstByte, entry.lastByte);
        if (entry.name == kLifeEntryName) {
            // The life is the normalized value, not the raw counter.
            value = slot.value;
            if (sendLife) sendLife(slot.value);
        }
        row.currentValue = FormatCurrentValue(value, entry.unit);
        row.judged = EvaluateStatus(entry, value, driveLimit);
        row.status = StatusText(entry, row.judged);
        row.number = value;
        row.unit = entry.unit;
        row.code = entry.code;
        ++count;
    }
}

void EvaluateOtherDisk(const SmartDataSector& smartData,
                       const SmartThresholdSector& smartThreshold, SmartRows& rows, int& count) {
    for (int slotIndex = 0; slotIndex < kSmartSlotCount; ++slotIndex) {
        const SmartSlot slot = ReadSlot(smartData, smartThreshold, slotIndex);
        if (slot.id == 0) continue;
        SmartRow& row = rows[count];
        FillFromSlot(row, slot);
        row.description.clear();
        row.number = CarveValue(slot.raw, 0, kSmartRawLength - 1);
        row.currentValue = std::to_string(row.number);
        row.status.clear();
        row.unit.clear();
        row.judged = {};
        row.code.clear();
        ++count;
    }
}

}  // namespace

void EvaluateSmart(const std::vector<SmartAttrDesc>& attrTable, bool isMakerDisk,
                   const SmartDataSector& smartData,
                   const SmartThresholdSector& smartThreshold, SmartRows& rows, int& count,
                   const LifeReport& sendLife) {
    count = 0;
    if (isMakerDisk) {
        EvaluateMakerDisk(attrTable, smartData, smartThreshold, rows, count, sendLife);
    } else {
        EvaluateOtherDisk(smartData, smartThreshold, rows, count);
    }
}

}  // namespace smart
