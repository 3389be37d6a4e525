#pragma once
// The one-line settings file "config" beside the executable: the remembered
// answer to the close question (0 hide to the tray, 1 quit; 2 and 3 the same
// answers not remembered).

#include <QString>

#include <optional>

// The file's path: the application directory, "/", "config".
QString closeSettingsPath();

// The value of the last line read as a base-10 integer; an empty file or a
// line that is not a number counts as 0. Nothing when the file exists but
// cannot be opened for reading.
std::optional<int> readCloseSetting(const QString& path);

// Writes the value and a line end. `rewrite` truncates an existing file;
// otherwise the file is created. False when the file cannot be opened.
bool writeCloseSetting(const QString& path, int value, bool rewrite);
