// `quillfence-cli smart N [--json]`: the SMART table of physical drive N, as
// the SMART page shows it, and the remaining life when the table reports one.

#include "cli/Commands.h"
#include "cli/DiskLookup.h"
#include "cli/Latin1.h"
#include "cli/Print.h"
#include "smart/core/SmartTable.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>

namespace {

// Display width of a UTF-8 text, counting each CJK character as two columns.
size_t displayWidth(const std::string& text)
{
    size_t width = 0;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

void printTable(const PhyDiskInfo& disk, const std::vector<smart::SmartTableRow>& rows, std::optional<int> life)
{
    std::string text = "PhysicalDrive" + std::to_string(disk.diskNum) + "  " + latin1ToUtf8(disk.model) +
                       (disk.isMakerDisk ? "  (maker's drive)" : "") + '\n';
    std::array<size_t, smart::kSmartColumnCount> widths{};
    for (int c = 0; c < smart::kSmartColumnCount; ++c) {
        widths[c] = displayWidth(smart::kSmartColumnTitles[c]);
        for (const auto& row : rows)
            widths[c] = std::max(widths[c], displayWidth(row.cells[c]));
    }
    auto addRow = [&](auto cellOf) {
        for (int c = 0; c < smart::kSmartColumnCount; ++c) {
            const std::string cell = cellOf(c);
            text += cell + std::string(widths[c] - displayWidth(cell) + 2, ' ');
        }
        text += '\n';
    };
    addRow([](int c) { return std::string(smart::kSmartColumnTitles[c]); });
    for (const auto& row : rows)
        addRow([&](int c) { return row.cells[c]; });
    if (life)
        text += "剩余寿命 " + std::to_string(*life) + "%\n";
    printOut(text);
}

}  // namespace

int smartCommand(const Arguments& args)
{
    if (args.empty() || args.size() > 2 || (args.size() == 2 && args[1] != "--json"))
        return usage();
    const auto diskNum = parseDiskNumber(args[0]);
    if (!diskNum)
        return usage();
    const auto disk = readDisk(*diskNum);
    if (!disk)
        return 1;

    std::optional<int> life;
    const auto rows = smart::BuildSmartTable(*disk, [&](int percent) { life = percent; });

    if (args.size() == 1) {
        printTable(*disk, rows, life);
        return 0;
    }
    nlohmann::ordered_json jsonRows = nlohmann::ordered_json::array();
    for (const auto& row : rows) {
        nlohmann::ordered_json cells;
        for (int c = 0; c < smart::kSmartColumnCount; ++c)
            cells[smart::kSmartColumnTitles[c]] = row.cells[c];
        jsonRows.push_back(cells);
    }
    const nlohmann::ordered_json out = {{"diskNum", disk->diskNum},
                                        {"model", latin1ToUtf8(disk->model)},
                                        {"isMakerDisk", disk->isMakerDisk != 0},
                                        {"rows", jsonRows},
                                        {"life", life ? nlohmann::ordered_json(*life) : nlohmann::ordered_json()}};
    printOut(out.dump() + '\n');
    return 0;
}
