#include "smart/core/SmartStatus.h"

#include "smart/core/SmartFormat.h"

namespace smart {

namespace {

const char* const kCapacitorName = "电容";
// A drive-limited capacitor below its limit is at risk down to this value
// and abnormal under it.
constexpr uint64_t kCapacitorRiskFloor = 40;

// Characters, not bytes, of a UTF-8 text.
size_t CharacterCount(const std::string& text) {
    size_t count = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) ++count;
    }
    return count;
}

}  // namespace

std::string StatusText(const SmartAttrDesc& entry, uint64_t value, uint64_t driveLimit) {
    if (entry.code.empty()) return {};
    const uint64_t limit = entry.limitFromDrive ? driveLimit : entry.limit;
    const std::string bracket = FormatLimitBracket(limit, entry.unit);
    // A drive-limited capacitor fails low; everything else fails high.
    if (entry.limitFromDrive && entry.name == kCapacitorName) {
        if (value >= limit) return "OK" + bracket;
        return (value >= kCapacitorRiskFloor ? "风险" : "异常") + bracket;
    }
    return (value > limit ? entry.code : std::string("OK")) + bracket;
}

StatusTone StatusToneOf(const std::string& status) {
    if (CharacterCount(status) < 2) return StatusTone::Default;
    return status.compare(0, 2, "OK") == 0 ? StatusTone::Ok : StatusTone::Alert;
}

}  // namespace smart
