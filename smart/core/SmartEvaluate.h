#pragma once
// Turning a disk's SMART sectors into table rows, and its remaining life.

#include <functional>
#include <vector>

#include "smart/core/SmartAttrDesc.h"
#include "smart/core/SmartRow.h"
#include "smart/core/SmartSector.h"

namespace smart {

// Receives the remaining life in percent: the current normalized value of
// the "剩余寿命" attribute, as the drive reports it (0 ... 255).
using LifeReport = std::function<void(int life)>;

// Fills rows[0 ... count - 1] and leaves the other rows as they were.
//
// A maker's drive (isMakerDisk) gets one row per entry of attrTable whose
// attribute ID is present, in catalogue order, each reading the first slot
// with that ID; sendLife is called once, synchronously, while the
// "剩余寿命" row is built, before the rows after it. Rows stop at
// kSmartSlotCount whatever the size of attrTable.
//
// Another drive gets one row per non-empty slot, in slot order, with the
// 48-bit raw value and no description or status; sendLife is not called.
//
// An empty sendLife is allowed.
void EvaluateSmart(const std::vector<SmartAttrDesc>& attrTable, bool isMakerDisk,
                   const SmartDataSector& smartData,
                   const SmartThresholdSector& smartThreshold, SmartRows& rows, int& count,
                   const LifeReport& sendLife);

}  // namespace smart
