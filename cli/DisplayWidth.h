#pragma once
// How many terminal columns a text takes, as glibc's wcwidth() counts them in
// a UTF-8 locale and terminals draw them, whatever the locale the program
// runs under (under LANG=C wcwidth() knows no character beyond ASCII).

#include <cstdint>
#include <string>

// The columns of one code point: 2 for the wide characters of the East Asian
// scripts and the fullwidth forms, 1 for every other.
int codePointWidth(uint32_t codePoint);

// The columns of a UTF-8 text. A byte that starts no character counts as one
// column, as a terminal draws it as one replacement character.
size_t displayWidth(const std::string& utf8);
