#include "smart/core/HealthLevel.h"

#include "common/UiText.h"

namespace smart {

namespace {

struct Band {
    int low, high;
    HealthLevel level;
    const char* text;
    const char* word;
};

const Band kBands[] = {
    {0, 29, HealthLevel::Warning, QF_TEXT("smart", "警告"), "warning"},
    {30, 79, HealthLevel::Normal, QF_TEXT("smart", "正常"), "normal"},
    {80, 100, HealthLevel::Good, QF_TEXT("smart", "良好"), "good"},
};

const Band& BandOf(HealthLevel level) {
    for (const Band& band : kBands) {
        if (band.level == level) return band;
    }
    return kBands[0];
}

}  // namespace

std::optional<HealthLevel> HealthLevelOf(int life) {
    for (const Band& band : kBands) {
        if (life >= band.low && life <= band.high) return band.level;
    }
    return std::nullopt;
}

const char* HealthLevelText(HealthLevel level) { return BandOf(level).text; }

const char* HealthLevelWord(HealthLevel level) { return BandOf(level).word; }

}  // namespace smart
