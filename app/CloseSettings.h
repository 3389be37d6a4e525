#pragma once
// The one-line settings file "config": the remembered answer to the close
// question (0 hide to the tray, 1 quit; 2 and 3 the same answers not
// remembered). It lives in the user's configuration folder
// ($XDG_CONFIG_HOME/quillfence/config, Qt's standard location); a "config"
// beside the executable, where earlier versions kept it, is taken over once.
//
// The file is never written in place: each answer replaces it (a link
// planted under its name is replaced, its target left alone), and it is read
// only when it is a regular file (a FIFO does not block the window).

#include <QString>

#include <optional>

// The file's path in the user's configuration folder.
QString closeSettingsPath();
// Where earlier versions kept it: the application directory, "/", "config".
QString legacyCloseSettingsPath();

// When the user's folder holds no answer yet, the one beside the executable
// (when there is a regular file) is written there, so nothing a user chose
// is lost; after that the old file is not read again.
void adoptLegacyCloseSetting();

// Whether anything stands at the path, a link pointing nowhere too. When
// nothing does, no answer has been remembered yet.
bool closeSettingExists(const QString& path);

// The value of the last line read as a base-10 integer; an empty file or a
// line that is not a number counts as 0. Nothing when no regular file is
// there (a link, a folder, a FIFO) or it cannot be read.
std::optional<int> readCloseSetting(const QString& path);

// Replaces the file with one holding the value and the platform's line end,
// making its folder where missing. False when it cannot be written; the file
// is then as it was.
bool writeCloseSetting(const QString& path, int value);
