#include "smart/core/SmartStatus.h"

#include "common/UiText.h"
#include "smart/core/SmartFormat.h"

namespace smart {

namespace {

const char* const kCapacitorName = QF_TEXT("smart", "电容");
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

Status EvaluateStatus(const SmartAttrDesc& entry, uint64_t value, uint64_t driveLimit) {
    if (entry.code.empty()) return {};
    const uint64_t limit = entry.limitFromDrive ? driveLimit : entry.limit;
    // A drive-limited capacitor fails low; everything else fails high.
    if (entry.limitFromDrive && entry.name == kCapacitorName) {
        if (value >= limit) return {StatusKind::Ok, limit};
        return {value >= kCapacitorRiskFloor ? StatusKind::Risk : StatusKind::Abnormal, limit};
    }
    return {value > limit ? StatusKind::Alert : StatusKind::Ok, limit};
}

std::string StatusText(const std::string& code, const std::string& unit, const Status& status,
                       const texts::TextLookup& shown) {
    const std::string limit = FormatCurrentValue(status.limit, unit, shown);
    switch (status.kind) {
    case StatusKind::None: return {};
    case StatusKind::Ok: return texts::shownFilled(shown, "smart", QF_TEXT("smart", "OK(%1)"), {limit});
    case StatusKind::Alert: return texts::shownFilled(shown, "smart", QF_TEXT("smart", "%1(%2)"), {code, limit});
    case StatusKind::Risk: return texts::shownFilled(shown, "smart", QF_TEXT("smart", "风险(%1)"), {limit});
    case StatusKind::Abnormal: return texts::shownFilled(shown, "smart", QF_TEXT("smart", "异常(%1)"), {limit});
    }
    return {};
}

std::string StatusText(const SmartAttrDesc& entry, const Status& status) {
    return StatusText(entry.code, entry.unit, status);
}

std::string StatusText(const SmartAttrDesc& entry, uint64_t value, uint64_t driveLimit) {
    return StatusText(entry, EvaluateStatus(entry, value, driveLimit));
}

const char* StatusWord(StatusKind kind) {
    switch (kind) {
    case StatusKind::None: return nullptr;
    case StatusKind::Ok: return "ok";
    case StatusKind::Alert: return "alert";
    case StatusKind::Risk: return "risk";
    case StatusKind::Abnormal: return "abnormal";
    }
    return nullptr;
}

StatusTone StatusToneOf(const std::string& status) {
    if (CharacterCount(status) < 2) return StatusTone::Default;
    return status.compare(0, 2, "OK") == 0 ? StatusTone::Ok : StatusTone::Alert;
}

}  // namespace smart
