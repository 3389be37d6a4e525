#pragma once
// How the Qt-free code writes a marked text (QF_TEXT) in the language shown.
// The code keeps its texts Chinese, the source language: in the JSON output,
// in stored files and wherever a text is a key. Where a text is shown, the
// caller passes a lookup: the window's goes through Qt's installed
// translators, quillfence-cli's through its own table. An empty lookup shows
// the Chinese source itself.

#include <functional>
#include <initializer_list>
#include <string>

namespace texts {

// The text of `context` as shown; a text without a translation comes back
// as it is.
using TextLookup = std::function<std::string(const char* context, const std::string& text)>;

// The text as `lookup` shows it; the text itself for an empty lookup.
std::string shown(const TextLookup& lookup, const char* context, const std::string& text);

// The template with %1 ... %9 replaced by the values, in one pass: a "%" not
// followed by the number of a value stays, and so does a "%2" inside a value.
// A translation may put the placeholders in any order.
std::string fill(const std::string& textTemplate, std::initializer_list<std::string> values);

// fill() of the template as `lookup` shows it.
std::string shownFilled(const TextLookup& lookup, const char* context, const std::string& textTemplate,
                        std::initializer_list<std::string> values);

}  // namespace texts
