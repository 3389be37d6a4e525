#pragma once
// The language of quillfence-cli's text output. Its JSON keeps the Chinese
// source texts, whatever the language.

#include <initializer_list>
#include <string>

// A marked text (QF_TEXT) of `context` in the language of the text output.
std::string uiText(const char* context, const std::string& text);
// The template with %1, %2 ... replaced by the values.
std::string uiTextArg(std::string tmpl, std::initializer_list<std::string> args);
