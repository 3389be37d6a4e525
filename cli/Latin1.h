#pragma once
#include <string>

// A NUL-terminated Latin-1 text of the disk record as UTF-8.
inline std::string latin1ToUtf8(const char* text)
{
    std::string utf8;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        if (*c < 0x80) {
            utf8 += static_cast<char>(*c);
        } else {
            utf8 += static_cast<char>(0xC0 | (*c >> 6));
            utf8 += static_cast<char>(0x80 | (*c & 0x3F));
        }
    }
    return utf8;
}
