#include "smart/export/SmartWorkbook.h"

#include <xlsxwriter.h>

#include <cstdio>

namespace smart {

namespace {

lxw_error WriteRow(lxw_worksheet* sheet, lxw_row_t row, const SmartCells& texts,
                   lxw_format* centred) {
    for (int column = 0; column < kSmartColumnCount; ++column) {
        // An empty text becomes a blank cell that still carries the centring.
        const lxw_error error = worksheet_write_string(
            sheet, row, static_cast<lxw_col_t>(column), texts[column].c_str(), centred);
        if (error != LXW_NO_ERROR) return error;
    }
    return LXW_NO_ERROR;
}

lxw_error WriteSheet(lxw_worksheet* sheet, const std::vector<SmartCells>& rows,
                     lxw_format* centred) {
    SmartCells header;
    for (int column = 0; column < kSmartColumnCount; ++column) {
        header[column] = kSmartColumnTitles[column];
    }
    lxw_error error = WriteRow(sheet, 0, header, centred);
    for (size_t r = 0; r < rows.size() && error == LXW_NO_ERROR; ++r) {
        error = WriteRow(sheet, static_cast<lxw_row_t>(r + 1), rows[r], centred);
    }
    return error;
}

}  // namespace

bool WriteSmartWorkbook(const std::string& path, const std::vector<SmartCells>& rows) {
    // The library keeps everything in memory and opens the file only when the
    // workbook is closed.
    lxw_workbook* workbook = workbook_new(path.c_str());
    if (workbook == nullptr) {
        std::fprintf(stderr, "WriteSmartWorkbook: cannot create a workbook for %s\n",
                     path.c_str());
        return false;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* centred = workbook_add_format(workbook);
    if (sheet == nullptr || centred == nullptr) {
        lxw_workbook_free(workbook);
        std::fprintf(stderr, "WriteSmartWorkbook: out of memory\n");
        return false;
    }
    format_set_align(centred, LXW_ALIGN_CENTER);
    format_set_align(centred, LXW_ALIGN_VERTICAL_CENTER);

    const lxw_error cellError = WriteSheet(sheet, rows, centred);
    if (cellError != LXW_NO_ERROR) {
        // Freeing without closing leaves the file system untouched.
        lxw_workbook_free(workbook);
        std::fprintf(stderr, "WriteSmartWorkbook: %s\n", lxw_strerror(cellError));
        return false;
    }
    const lxw_error saveError = workbook_close(workbook);  // frees the workbook
    if (saveError != LXW_NO_ERROR) {
        std::fprintf(stderr, "WriteSmartWorkbook: %s: %s\n", path.c_str(),
                     lxw_strerror(saveError));
        return false;
    }
    return true;
}

}  // namespace smart
