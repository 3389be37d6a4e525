#pragma once
// What the test page needs from the operating system, one file per platform.

#include <QString>

// Runs the diskpart script at scriptPath and returns without waiting for it.
void runDiskpartScript(const QString &scriptPath);

// Gives a file the hidden attribute, where the file system has one.
void hideFile(const QString &path);
