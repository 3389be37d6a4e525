#include "cli/TextEscape.h"

#include <cstdio>

namespace {

std::string hexEscape(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", value);
    return text;
}

// The length of the UTF-8 character starting at `at`, or 0 when none does.
size_t characterLength(const std::string& text, size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
            return 0;
    return length;
}

}  // namespace

std::string printable(const std::string& utf8)
{
    std::string out;
    for (size_t at = 0; at < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[at]);
        const size_t length = characterLength(utf8, at);
        if (length == 0) {
            out += hexEscape(c);
            ++at;
            continue;
        }
        if (length == 1) {
            if (c < 0x20 || c == 0x7F)
                out += hexEscape(c);
            else
                out += static_cast<char>(c);
        } else if (length == 2 && c == 0xC2 && static_cast<unsigned char>(utf8[at + 1]) < 0xA0) {
            // U+0080 to U+009F: the C1 controls, among them CSI.
            out += hexEscape(static_cast<unsigned char>(utf8[at + 1]));
        } else {
            out.append(utf8, at, length);
        }
        at += length;
    }
    return out;
}
