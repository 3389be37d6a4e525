#pragma once
// The one-line settings file "config" beside the executable: the remembered
// answer to the close question (0 hide to the tray, 1 quit; 2 and 3 the same
// answers not remembered).
//
// The window may run as administrator while the file's folder is writable by
// others, so the file is never written in place: each answer replaces it
// (a link planted under its name is replaced, its target left alone), and it
// is read only when it is a regular file (a FIFO does not block the window).

#include <QString>

#include <optional>

// The file's path: the application directory, "/", "config".
QString closeSettingsPath();

// Whether anything stands at the path, a link pointing nowhere too. When
// nothing does, no answer has been remembered yet.
bool closeSettingExists(const QString& path);

// The value of the last line read as a base-10 integer; an empty file or a
// line that is not a number counts as 0. Nothing when no regular file is
// there (a link, a folder, a FIFO) or it cannot be read.
std::optional<int> readCloseSetting(const QString& path);

// Replaces the file with one holding the value and the platform's line end.
// False when it cannot be written; the file is then as it was.
bool writeCloseSetting(const QString& path, int value);
