#pragma once
// The user's choices beyond the close question's remembered answer (which
// keeps its own one-line file "config"): the file "settings" in the user's
// configuration folder, one "key=value" line each, read by the window and
// quillfence-cli alike. Keys are short ASCII names; values one line of text.
// The file is replaced, never written in place (SafeFiles.h).

#include <optional>
#include <string>

namespace files {

// The value of `key`; nothing when the file or the key is not there.
std::optional<std::string> readUserSetting(const std::string& key);
// Sets `key` to `value`, keeping the other keys; false when the file could
// not be written (it is then as it was).
bool writeUserSetting(const std::string& key, const std::string& value);

}  // namespace files
