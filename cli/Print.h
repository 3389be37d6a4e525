#pragma once
// What the commands print, through C's stdio: the C++ streams' start-up
// (their static initialisation and locale) costs a short command more than
// its own work.

#include <cstdio>
#include <string>

inline void printOut(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
}

inline void printErr(const std::string& text)
{
    std::fputs(text.c_str(), stderr);
}

// A number with two decimals, as the tables show sizes: "476.94".
inline std::string twoDecimals(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}
