#include "cli/UiText.h"

#include "common/TextLookup.h"

// Chinese, the source language, until the table of translations is built in.
std::string uiText(const char*, const std::string& text)
{
    return text;
}

std::string uiTextArg(std::string tmpl, std::initializer_list<std::string> args)
{
    return texts::fill(tmpl, args);
}
