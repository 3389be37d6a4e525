#pragma once
// The catalogues' descriptions and units as plain ASCII words, for scripts
// and monitoring systems that should not match Chinese texts.

#include <string>

namespace smart {

// "power_on_time" for "带电工作时间", ...; empty for a text the catalogues
// and the NVMe health log rows do not use.
std::string ValueKey(const std::string& description);
// "hours" for "小时", ...; empty for a text the catalogues do not use.
std::string UnitWord(const std::string& unit);

}  // namespace smart
