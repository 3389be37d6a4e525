#pragma once
// The health level shown beside the remaining-life ring: a band of the
// remaining life in percent.

#include <optional>

namespace smart {

enum class HealthLevel {
    Warning,  // 0 ... 29
    Normal,   // 30 ... 79
    Good,     // 80 ... 100
};

// The level of a remaining life; none outside 0 ... 100.
std::optional<HealthLevel> HealthLevelOf(int life);
// "警告", "正常", "良好": marked texts of the context "smart".
const char* HealthLevelText(HealthLevel level);
// "warning", "normal", "good".
const char* HealthLevelWord(HealthLevel level);

}  // namespace smart
