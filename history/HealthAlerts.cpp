#include "history/HealthAlerts.h"

#include "common/UiText.h"
#include "smart/core/HealthLevel.h"
#include "smart/core/SmartFormat.h"
#include "smart/core/NvmeHealth.h"
#include "smart/core/SmartNames.h"

#include <algorithm>
#include <cstdio>

namespace history {

namespace {

// The counts whose growth is alerted to: the named values of the maker's
// catalogues and of the NVMe health log, and for other makers' drives the
// attributes that usually hold them.
struct Counter {
    const char* name;  // the value key, or empty for an attribute of another maker's drive
    int attributeId;   // for an empty name
    const char* text;  // the attribute's name where the row has none
};

const Counter kCounters[] = {
    {"total_bad_blocks", 0, nullptr},
    {"new_bad_blocks", 0, nullptr},
    {"unexpected_power_loss_count", 0, nullptr},
    {"media_errors", 0, nullptr},
    {"", 5, QF_TEXT("history", "重映射扇区数")},
    {"", 196, QF_TEXT("history", "重映射事件数")},
    {"", 187, QF_TEXT("history", "无法校正的错误数")},
    {"", 192, QF_TEXT("history", "异常关机次数")},
    {"", 174, QF_TEXT("history", "意外掉电次数")},
};

const char kCriticalWarningKey[] = "critical_warning";
const char kCelsius[] = "celsius";

struct KindName {
    AlertKind kind;
    const char* word;
};

const KindName kKindWords[] = {
    {AlertKind::HealthLevel, "health_level"}, {AlertKind::Status, "status"},
    {AlertKind::CountGrew, "count"},          {AlertKind::CriticalWarning, "critical_warning"},
    {AlertKind::Temperature, "temperature"},
};

// The texts of the events, templates with %1, %2 ...
const char kLevelFell[] = QF_TEXT("history", "健康指标由%1降为%2（剩余寿命%3%）");
const char kStatusTurned[] = QF_TEXT("history", "%1的状态由%2变为%3（限值%4）");
const char kCountGrew[] = QF_TEXT("history", "%1由%2增至%3");
const char kCriticalWarningSet[] = QF_TEXT("history", "出现严重警告：%1");
const char kTemperaturePassed[] = QF_TEXT("history", "%1达到%2℃，超过上限%3℃");
const char kDriveTitle[] = QF_TEXT("history", "%1（序列号 %2）");
const char kAttributeName[] = QF_TEXT("history", "属性%1");

struct StatusName {
    const char* word;
    int rank;           // how bad: a change to a higher rank is alerted to
    const char* text;
};

const StatusName kStatusNames[] = {
    {"", 0, QF_TEXT("history", "无")},
    {"ok", 0, "OK"},
    {"alert", 1, QF_TEXT("history", "超限")},
    {"risk", 1, QF_TEXT("history", "风险")},
    {"abnormal", 2, QF_TEXT("history", "异常")},
};

const StatusName& StatusOf(const std::string& word)
{
    for (const StatusName& status : kStatusNames) {
        if (word == status.word)
            return status;
    }
    return kStatusNames[0];
}

const Counter* CounterOf(const SampleRow& row)
{
    for (const Counter& counter : kCounters) {
        if (counter.name[0] ? row.name == counter.name : row.name.empty() && row.attributeId == counter.attributeId)
            return &counter;
    }
    return nullptr;
}

bool IsCriticalWarning(const SampleRow& row)
{
    return row.name.rfind(kCriticalWarningKey, 0) == 0;
}

const SampleRow* Matching(const std::vector<SampleRow>& rows, const SampleRow& row)
{
    for (const SampleRow& other : rows) {
        if (other.attributeId == row.attributeId && other.name == row.name)
            return &other;
    }
    return nullptr;
}

// The limit a temperature row is held to: its own, or that of the drive's
// checked temperature row (the highest temperature of the maker's drives).
std::optional<uint64_t> TemperatureLimit(const std::vector<SampleRow>& rows, const SampleRow& row)
{
    if (row.limit)
        return row.limit;
    for (const SampleRow& other : rows) {
        if (other.unit == kCelsius && other.limit)
            return other.limit;
    }
    return std::nullopt;
}

// The row's name, for the texts.
std::string RowText(int attributeId, const std::string& name, const texts::TextLookup& shown)
{
    if (!name.empty()) {
        const std::string text = smart::DescriptionOfKey(name);
        if (!text.empty())
            return texts::shown(shown, "smart", text);
    }
    for (const Counter& counter : kCounters) {
        if (!counter.name[0] && counter.attributeId == attributeId)
            return texts::shown(shown, "history", counter.text);
    }
    char id[8];
    std::snprintf(id, sizeof id, "%02X", attributeId);
    return texts::shownFilled(shown, "history", kAttributeName, {id});
}

std::string Number(const std::optional<uint64_t>& value)
{
    return value ? std::to_string(*value) : std::string("?");
}

std::string LevelText(const std::string& word, const texts::TextLookup& shown)
{
    for (smart::HealthLevel level : {smart::HealthLevel::Warning, smart::HealthLevel::Normal, smart::HealthLevel::Good}) {
        if (word == smart::HealthLevelWord(level))
            return texts::shown(shown, "smart", smart::HealthLevelText(level));
    }
    return "?";
}

std::string StatusText(const std::string& word, const texts::TextLookup& shown)
{
    return texts::shown(shown, "history", StatusOf(word).text);
}

}  // namespace

bool AlertEvent::operator==(const AlertEvent& other) const
{
    return kind == other.kind && attributeId == other.attributeId && name == other.name && before == other.before &&
           after == other.after && beforeWord == other.beforeWord && afterWord == other.afterWord &&
           limit == other.limit && unit == other.unit && bit == other.bit;
}

std::vector<AlertEvent> AlertsBetween(const HealthSample& previous, const HealthSample& current)
{
    std::vector<AlertEvent> events;
    if (previous.level && current.level && *current.level < *previous.level) {
        AlertEvent event;
        event.kind = AlertKind::HealthLevel;
        event.beforeWord = smart::HealthLevelWord(*previous.level);
        event.afterWord = smart::HealthLevelWord(*current.level);
        if (previous.life)
            event.before = static_cast<uint64_t>(*previous.life);
        if (current.life)
            event.after = static_cast<uint64_t>(*current.life);
        events.push_back(event);
    }
    for (const SampleRow& row : current.rows) {
        const SampleRow* before = Matching(previous.rows, row);
        if (!before)
            continue;
        AlertEvent event;
        event.attributeId = row.attributeId;
        event.name = row.name;
        event.unit = row.unit;
        if (IsCriticalWarning(row)) {
            // The mask's row alone: each bit newly set is one event.
            if (row.name != kCriticalWarningKey || !row.rawValue)
                continue;
            const uint64_t set = *row.rawValue & ~before->rawValue.value_or(0);
            for (int bit = 0; bit < 8; ++bit) {
                if (set & (uint64_t{1} << bit)) {
                    event.kind = AlertKind::CriticalWarning;
                    event.bit = bit;
                    events.push_back(event);
                }
            }
        } else if (CounterOf(row)) {
            if (row.currentValue && before->currentValue && *row.currentValue > *before->currentValue) {
                event.kind = AlertKind::CountGrew;
                event.before = before->currentValue;
                event.after = row.currentValue;
                events.push_back(event);
            }
        } else if (row.unit == kCelsius) {
            const std::optional<uint64_t> limit = TemperatureLimit(current.rows, row);
            if (limit && row.currentValue && before->currentValue && *before->currentValue <= *limit &&
                *row.currentValue > *limit) {
                event.kind = AlertKind::Temperature;
                event.before = before->currentValue;
                event.after = row.currentValue;
                event.limit = limit;
                events.push_back(event);
            }
        } else if (StatusOf(row.statusWord).rank > StatusOf(before->statusWord).rank) {
            event.kind = AlertKind::Status;
            event.beforeWord = before->statusWord;
            event.afterWord = row.statusWord;
            event.before = before->currentValue;
            event.after = row.currentValue;
            event.limit = row.limit;
            events.push_back(event);
        }
    }
    return events;
}

const char* AlertKindWord(AlertKind kind)
{
    for (const KindName& entry : kKindWords) {
        if (entry.kind == kind)
            return entry.word;
    }
    return "";
}

std::optional<AlertKind> AlertKindOfWord(const std::string& word)
{
    for (const KindName& entry : kKindWords) {
        if (word == entry.word)
            return entry.kind;
    }
    return std::nullopt;
}

std::string AlertText(const AlertEvent& event, const texts::TextLookup& shown)
{
    const std::string row = RowText(event.attributeId, event.name, shown);
    switch (event.kind) {
    case AlertKind::HealthLevel:
        return texts::shownFilled(shown, "history", kLevelFell,
                                  {LevelText(event.beforeWord, shown), LevelText(event.afterWord, shown),
                                   Number(event.after)});
    case AlertKind::Status:
        return texts::shownFilled(shown, "history", kStatusTurned,
                                  {row, StatusText(event.beforeWord, shown), StatusText(event.afterWord, shown),
                                   smart::NumberWithUnit(Number(event.limit), smart::UnitOfWord(event.unit), shown)});
    case AlertKind::CountGrew:
        return texts::shownFilled(shown, "history", kCountGrew, {row, Number(event.before), Number(event.after)});
    case AlertKind::CriticalWarning:
        return texts::shownFilled(
            shown, "history", kCriticalWarningSet,
            {event.bit >= 0 && event.bit < 8 ? texts::shown(shown, "smart", smart::kCriticalWarningTexts[event.bit])
                                             : "?"});
    case AlertKind::Temperature:
        return texts::shownFilled(shown, "history", kTemperaturePassed,
                                  {row, Number(event.after), Number(event.limit)});
    }
    return {};
}

std::string DriveTitle(const DriveKey& drive, const texts::TextLookup& shown)
{
    return texts::shownFilled(shown, "history", kDriveTitle, {drive.model, drive.serial});
}

}  // namespace history
