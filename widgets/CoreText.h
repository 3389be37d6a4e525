#pragma once
// The marked texts of the Qt-free code (QF_TEXT) as the window shows them:
// through the installed translators, in the context they were marked in. A
// text without a translation stays Chinese.

#include "common/TextLookup.h"

#include <QCoreApplication>
#include <QString>

#include <string>

inline QString coreText(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

// The lookup the Qt-free code writes the window's texts with.
inline texts::TextLookup windowTextLookup()
{
    return [](const char* context, const std::string& text) {
        return QCoreApplication::translate(context, text.c_str()).toStdString();
    };
}
