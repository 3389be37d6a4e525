#include "cli/DisplayWidth.h"

#include <algorithm>
#include <iterator>

namespace {

struct Range {
    uint32_t first;
    uint32_t last;
};

// The wide (W) and fullwidth (F) characters of the East Asian Width property
// in the blocks of the East Asian scripts: the Chinese texts the program
// prints ("带电工作时间", "严重警告：", "扇区") lie here. Characters of
// ambiguous width ("℃", "°") take one column, as glibc and terminals draw
// them outside East Asian legacy modes. The gaps inside a range are
// unassigned code points and combining marks, which the program never prints;
// emoji, which it never prints either, count as one column.
const Range kWide[] = {
    {0x1100, 0x115F},    // Hangul Jamo, leading consonants
    {0x2E80, 0x303E},    // CJK radicals, Kangxi radicals, CJK symbols and punctuation
    {0x3041, 0xA4CF},    // kana, bopomofo, CJK ideographs and their extension A, Yi
    {0xA960, 0xA97F},    // Hangul Jamo extended A
    {0xAC00, 0xD7A3},    // Hangul syllables
    {0xF900, 0xFAFF},    // CJK compatibility ideographs
    {0xFE10, 0xFE19},    // vertical forms
    {0xFE30, 0xFE6F},    // CJK compatibility forms, small form variants
    {0xFF00, 0xFF60},    // fullwidth forms ("：", "％")
    {0xFFE0, 0xFFE6},    // fullwidth signs
    {0x20000, 0x2FFFD},  // CJK ideographs, extensions B and later
    {0x30000, 0x3FFFD},
};

// The code point of the UTF-8 character at `at` and its length in bytes;
// length 0 when no character starts there.
std::pair<uint32_t, size_t> decode(const std::string& text, size_t at)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + length > text.size())
        return {0, 0};
    uint32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80)
            return {0, 0};
        codePoint = codePoint << 6 | (byte(k) & 0x3F);
    }
    return {codePoint, length};
}

}  // namespace

int codePointWidth(uint32_t codePoint)
{
    const auto after = std::upper_bound(std::begin(kWide), std::end(kWide), codePoint,
                                        [](uint32_t value, const Range& range) { return value < range.first; });
    return after != std::begin(kWide) && codePoint <= std::prev(after)->last ? 2 : 1;
}

size_t displayWidth(const std::string& utf8)
{
    size_t width = 0;
    for (size_t at = 0; at < utf8.size();) {
        const auto [codePoint, length] = decode(utf8, at);
        width += length == 0 ? 1 : static_cast<size_t>(codePointWidth(codePoint));
        at += length == 0 ? 1 : length;
    }
    return width;
}
