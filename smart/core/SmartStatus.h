#pragma once
// The status text of a row and the tone the table draws it in.

#include <cstdint>
#include <string>

#include "common/TextLookup.h"
#include "smart/core/SmartAttrDesc.h"

namespace smart {

// What a row's status says, and the limit it was judged by.
enum class StatusKind {
    None,      // the entry is never compared with a limit
    Ok,        // within its limit
    Alert,     // over its limit: the status shows the entry's code
    Risk,      // a drive-limited capacitor below its limit, at 40 or above
    Abnormal,  // a drive-limited capacitor below 40
};

struct Status {
    StatusKind kind = StatusKind::None;
    uint64_t limit = 0;  // not used for StatusKind::None
};

// The status of an entry with carved value `value`; `driveLimit` is the limit
// carved from the threshold sector, used when the entry takes its limit from
// the drive.
Status EvaluateStatus(const SmartAttrDesc& entry, uint64_t value, uint64_t driveLimit);
// Its text: empty for entries without a code, otherwise "OK", the code,
// "风险" or "异常" followed by the limit and the unit in brackets: "OK(70℃)".
std::string StatusText(const SmartAttrDesc& entry, uint64_t value, uint64_t driveLimit);
std::string StatusText(const SmartAttrDesc& entry, const Status& status);
// The same for the entry's code and unit, in the language shown.
std::string StatusText(const std::string& code, const std::string& unit, const Status& status,
                       const texts::TextLookup& shown = {});
// "ok", "alert", "risk", "abnormal"; nullptr for StatusKind::None.
const char* StatusWord(StatusKind kind);

enum class StatusTone {
    Default,  // no status: the table's own text colour
    Ok,       // within the limit
    Alert,    // over the limit, at risk or abnormal
};

struct Rgb {
    uint8_t red, green, blue;
};

constexpr Rgb kStatusOkColour{0, 0, 255};
constexpr Rgb kStatusAlertColour{255, 0, 0};

// Ok for a status of two or more characters that begins with "OK", Alert for
// any other status of two or more characters, Default for the rest.
StatusTone StatusToneOf(const std::string& status);

}  // namespace smart
