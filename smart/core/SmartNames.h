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
// The other way round: "带电工作时间" for "power_on_time", "小时" for
// "hours"; empty for a word not in the tables.
std::string DescriptionOfKey(const std::string& key);
std::string UnitOfWord(const std::string& word);

}  // namespace smart
