#pragma once
// The English texts of quillfence-cli: the translations of
// translations/quillfence_en.ts, made into a table at build time by
// scripts/ts-table.py (the CLI has no Qt to read the window's .qm file).

#include <cstddef>
#include <string>

struct UiTextEntry {
    const char* context;
    const char* source;       // the Chinese text, as marked in the code
    const char* translation;  // UTF-8
};

// Sorted by context, then source, byte by byte as strcmp() compares them.
struct UiTextTable {
    const UiTextEntry* entries;
    std::size_t count;
};

// The table made from the translation file (the generated UiTextTable.cpp).
UiTextTable englishTexts();

// The translation of `source` in `context`; nullptr when the table has none.
const char* findText(const UiTextTable& table, const char* context, const std::string& source);
