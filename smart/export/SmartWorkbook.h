#pragma once
// Writing the SMART table into a spreadsheet workbook file (.xlsx format).

#include <string>
#include <vector>

#include "smart/core/SmartFormat.h"

namespace smart {

// Writes a workbook with one worksheet: the column titles in row 1, then one
// row per entry of `rows`. Every cell is stored as text, so "100" stays the
// text "100" and trailing blanks are kept, and every cell is centred
// horizontally and vertically. `path` is in the file system's encoding.
//
// Returns false, with a diagnostic on stderr, when the workbook could not be
// written completely (missing or read-only folder, full disk, a text too long
// for a cell); no file is created when a cell text is refused.
bool WriteSmartWorkbook(const std::string& path, const std::vector<SmartCells>& rows);

}  // namespace smart
