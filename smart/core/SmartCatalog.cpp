#include "smart/core/SmartCatalog.h"

#include <cstdint>
#include <cstring>

#include "common/UiText.h"

namespace smart {

namespace {

// Limits of the two capacity entries, chosen by a text in the model.
struct CapacityLimits {
    const char* text;
    uint64_t hostWriteLimit;  // sectors
    uint64_t totalBadBlockLimit;
};

// The descriptions are marked texts; a unit is a key of the unit templates
// of SmartFormat.cpp, which write it with its number.

// Always first for M7A0 drives.
const SmartAttrDesc kM7A0Table[] = {
    {9, QF_TEXT("smart", "带电工作时间"), 0, 1, "小时", false, 0, ""},
    {12, QF_TEXT("smart", "上电次数"), 0, 1, "次", false, 0, ""},
    {169, QF_TEXT("smart", "新增坏块数"), 4, 5, "个", false, 0, ""},
    {208, QF_TEXT("smart", "平均磨损次数"), 0, 3, "次", false, 1000, "#1004"},
    {192, QF_TEXT("smart", "异常掉电次数"), 0, 1, "次", false, 5000, "#1001"},
    {194, QF_TEXT("smart", "当前温度"), 0, 1, "℃", false, 0, ""},
    {194, QF_TEXT("smart", "最小温度"), 2, 3, "℃", false, 0, ""},
    {194, QF_TEXT("smart", "最大温度"), 4, 5, "℃", false, 70, "#1002"},
    {231, QF_TEXT("smart", "剩余寿命"), 0, 1, "%", false, 0, ""},
    {234, QF_TEXT("smart", "Nand读取量"), 0, 5, "扇区", false, 0, ""},
    {233, QF_TEXT("smart", "Nand写入量"), 0, 5, "扇区", false, 0, ""},
    {242, QF_TEXT("smart", "Host读取量"), 0, 5, "扇区", false, 0, ""},
    {254, QF_TEXT("smart", "电容"), 0, 5, "微法", false, 90, "#1003"},
};

// Looked for anywhere in the model text, in this order.
const CapacityLimits kM7A0Capacities[] = {
    {"120G", 94489280512ULL, 1062},   // 22 * 2^32 sectors
    {"128G", 94489280512ULL, 768},    // 22 * 2^32
    {"240G", 188978561024ULL, 2124},  // 44 * 2^32
    {"256G", 188978561024ULL, 1536},  // 44 * 2^32
    {"480G", 377957122048ULL, 4248},  // 88 * 2^32
    {"512G", 377957122048ULL, 3072},  // 88 * 2^32
};

// Always first for M7B0, M7C0 and M7B0M drives. Entry 3 names a drive limit
// but carries no code, so it is never compared.
const SmartAttrDesc kM7B0Table[] = {
    {9, QF_TEXT("smart", "带电工作时间"), 0, 1, "小时", false, 0, ""},
    {12, QF_TEXT("smart", "上电次数"), 0, 1, "次", false, 0, ""},
    {169, QF_TEXT("smart", "新增坏块数"), 4, 5, "个", true, 0, ""},
    {173, QF_TEXT("smart", "平均磨损次数"), 0, 1, "次", false, 3000, "#1004"},
    {173, QF_TEXT("smart", "最大磨损次数"), 2, 3, "次", false, 0, ""},
    {173, QF_TEXT("smart", "最小磨损次数"), 4, 5, "次", false, 0, ""},
    {192, QF_TEXT("smart", "异常掉电次数"), 0, 1, "次", false, 5000, "#1001"},
    {190, QF_TEXT("smart", "当前温度"), 0, 1, "℃", false, 0, ""},
    {190, QF_TEXT("smart", "最小温度"), 2, 3, "℃", false, 0, ""},
    {190, QF_TEXT("smart", "最大温度"), 4, 5, "℃", false, 70, "#1002"},
    {233, QF_TEXT("smart", "剩余寿命"), 0, 3, "%", false, 0, ""},
    {250, QF_TEXT("smart", "Nand读取量"), 0, 5, "扇区", false, 0, ""},
    {249, QF_TEXT("smart", "Nand写入量"), 0, 5, "扇区", false, 0, ""},
    {242, QF_TEXT("smart", "Host读取量"), 0, 5, "扇区", false, 0, ""},
    {254, QF_TEXT("smart", "电容"), 0, 5, "微法", false, 90, "#1003"},
};

// Compared with the whole second part of the model text.
const CapacityLimits kM7B0Capacities[] = {
    {"PNDX32G", 53687091200ULL, 512},     // 12.5 * 2^32 sectors
    {"PNDX64G", 107374182400ULL, 1024},   // 25 * 2^32
    {"PNDX120G", 354334801920ULL, 2048},  // 82.5 * 2^32
    {"PNDX128G", 214748364800ULL, 2048},  // 50 * 2^32
    {"PNDX240G", 644245094400ULL, 4096},  // 150 * 2^32
    {"PNDX256G", 429496729600ULL, 4096},  // 100 * 2^32
    {"PNDX480G", 1889785610240ULL, 8192}, // 440 * 2^32
};

const char* const kM7B0Codes[] = {"M7B0", "M7C0", "M7B0M"};

// Every other maker's drive: all limits come from the threshold sector.
const SmartAttrDesc kDriveLimitTable[] = {
    {9, QF_TEXT("smart", "带电工作时间"), 0, 1, "小时", true, 0, ""},
    {12, QF_TEXT("smart", "上电次数"), 0, 1, "次", true, 0, ""},
    {169, QF_TEXT("smart", "总坏块数"), 2, 3, "个", true, 0, "#1003"},
    {169, QF_TEXT("smart", "新增坏块数"), 4, 5, "个", true, 0, ""},
    {208, QF_TEXT("smart", "平均磨损次数"), 0, 3, "次", true, 0, "#1004"},
    {192, QF_TEXT("smart", "异常掉电次数"), 0, 1, "次", true, 0, "#1001"},
    {194, QF_TEXT("smart", "当前温度"), 0, 1, "℃", true, 0, ""},
    {194, QF_TEXT("smart", "最小温度"), 2, 3, "℃", true, 0, ""},
    {194, QF_TEXT("smart", "最大温度"), 4, 5, "℃", true, 0, "#1002"},
    {231, QF_TEXT("smart", "剩余寿命"), 0, 1, "%", true, 0, ""},
    {233, QF_TEXT("smart", "Nand写入量"), 0, 5, "扇区", true, 0, ""},
    {234, QF_TEXT("smart", "Nand读取量"), 0, 5, "扇区", true, 0, ""},
    {241, QF_TEXT("smart", "Host写入量"), 0, 5, "扇区", true, 0, "#1000"},
    {242, QF_TEXT("smart", "Host读取量"), 0, 5, "扇区", true, 0, ""},
    {254, QF_TEXT("smart", "电容"), 0, 5, "微法", true, 0, "#1003"},
};

template <size_t N>
std::vector<SmartAttrDesc> TableOf(const SmartAttrDesc (&entries)[N]) {
    return std::vector<SmartAttrDesc>(entries, entries + N);
}

// The two entries that M7A0 and M7B0 drives append for their capacity.
void AppendCapacityEntries(std::vector<SmartAttrDesc>& table, const CapacityLimits& limits) {
    table.push_back({241, QF_TEXT("smart", "Host写入量"), 0, 5, "扇区", false, limits.hostWriteLimit, "#1000"});
    table.push_back({169, QF_TEXT("smart", "总坏块数"), 2, 3, "个", false, limits.totalBadBlockLimit, "#1003"});
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// Split at every "-", keeping empty parts; anything but exactly three parts
// counts as three empty parts.
struct ModelParts {
    std::string first, second, third;
};

ModelParts SplitModelText(const std::string& modelText) {
    std::vector<std::string> parts(1);
    for (char c : modelText) {
        if (c == '-') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    if (parts.size() != 3) return {};
    return {parts[0], parts[1], parts[2]};
}

}  // namespace

std::vector<SmartAttrDesc> BuildAttrTable(const std::string& modelText, bool isMakerDisk) {
    if (!isMakerDisk) return {};

    if (Contains(modelText, "M7A0")) {
        for (const CapacityLimits& capacity : kM7A0Capacities) {
            if (Contains(modelText, capacity.text)) {
                std::vector<SmartAttrDesc> table = TableOf(kM7A0Table);
                AppendCapacityEntries(table, capacity);
                return table;
            }
        }
    }

    const ModelParts parts = SplitModelText(modelText);
    for (const char* code : kM7B0Codes) {
        if (parts.third == code) {
            std::vector<SmartAttrDesc> table = TableOf(kM7B0Table);
            for (const CapacityLimits& capacity : kM7B0Capacities) {
                if (parts.second == capacity.text) AppendCapacityEntries(table, capacity);
            }
            return table;
        }
    }

    return TableOf(kDriveLimitTable);
}

std::string ModelText(const PhyDiskInfo& record) {
    const char* text = record.model;
    const void* nul = std::memchr(text, '\0', sizeof record.model);
    const size_t length = nul ? static_cast<const char*>(nul) - text : sizeof record.model;
    return std::string(text, length);
}

}  // namespace smart
