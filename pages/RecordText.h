#pragma once
// The identity texts of a disk record as the pages show them.

#include "disk/PhyDiskInfo.h"

#include <QString>
#include <cstring>

// A text field of the record read as Latin-1, up to its first NUL byte; a
// field that fills all of its bytes ends at the field's end.
inline QString recordText(const char (&field)[kTextLength])
{
    const void* nul = std::memchr(field, '\0', kTextLength);
    const int length = nul ? int(static_cast<const char*>(nul) - field) : kTextLength;
    return QString::fromLatin1(field, length);
}
