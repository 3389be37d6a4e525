#pragma once
// What changed for the worse between two samples of one drive: the changes
// the program alerts the user to, one event per change.

#include "common/TextLookup.h"
#include "history/HealthSample.h"

#include <optional>
#include <string>
#include <vector>

namespace history {

enum class AlertKind {
    HealthLevel,      // the health level fell into a lower band
    Status,           // a row's status turned to a warning (or a worse one)
    CountGrew,        // reallocated sectors, media errors or unsafe shutdowns grew
    CriticalWarning,  // an NVMe critical-warning bit was newly set
    Temperature,      // a temperature passed its limit
};

struct AlertEvent {
    AlertKind kind = AlertKind::Status;
    int attributeId = 0;     // of the row; 0 for the health level
    std::string name;        // the row's value key; may be empty (other makers' drives)
    std::optional<uint64_t> before, after;  // counts, temperatures, the life for a level
    std::string beforeWord, afterWord;      // level words, status words
    std::optional<uint64_t> limit;          // of a status or a temperature
    std::string unit;                       // the unit word of the row
    int bit = -1;                           // the critical-warning bit

    bool operator==(const AlertEvent& other) const;
};

// The changes from `previous` to `current`, both of the same drive, in the
// order of the current sample's rows (the health level first).
std::vector<AlertEvent> AlertsBetween(const HealthSample& previous, const HealthSample& current);

// "health_level", "status", "count", "critical_warning", "temperature".
const char* AlertKindWord(AlertKind kind);
std::optional<AlertKind> AlertKindOfWord(const std::string& word);

// What changed, in the language of `shown` (Chinese without one):
// "总坏块数由3增至12". Its templates are marked texts of the context
// "history"; the names of rows, levels and units come from the context "smart".
std::string AlertText(const AlertEvent& event, const texts::TextLookup& shown = {});
// The drive as the notification names it: "QYD-M7A0-512G（序列号 QV7A2H10520017）".
std::string DriveTitle(const DriveKey& drive, const texts::TextLookup& shown = {});

}  // namespace history
