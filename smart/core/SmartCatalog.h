#pragma once
// The maker's attribute catalogues and the choice of one from the model text.

#include <string>
#include <vector>

#include "disk/PhyDiskInfo.h"
#include "smart/core/SmartAttrDesc.h"

namespace smart {

// The catalogue for a drive: empty for other makers' drives, otherwise the
// M7A0 table for its capacity, the M7B0 table, or the drive-limit table.
// Every text compared is plain ASCII, so modelText may be the Latin-1 bytes
// of the record or their UTF-8 form alike.
std::vector<SmartAttrDesc> BuildAttrTable(const std::string& modelText, bool isMakerDisk);

// The record's model text up to its NUL, never past the end of the field.
std::string ModelText(const PhyDiskInfo& record);

}  // namespace smart
