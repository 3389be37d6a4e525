#pragma once
// Texts a drive reports, made safe for a terminal: a model text could
// otherwise move the cursor, write lines of its own or send escape sequences.

#include <string>

// `utf8` with every control character (C0, DEL and C1) and every byte that
// is no part of a UTF-8 character written as \xHH.
std::string printable(const std::string& utf8);
