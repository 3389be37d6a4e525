#pragma once
// Small files that the program, running as administrator, writes and reads in
// folders other users may write to (beside the executable, the working
// directory): a file is replaced rather than written in place, so a symbolic
// link planted under its name is replaced and its target left alone; a file is
// read only when it is a regular file, so a link is not followed and a FIFO or
// a device does not block the reader. Standard C++ and the platform's file
// calls only.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace files {

// Writes `content` to a new file in the folder of `path`, flushes it to the
// disk and renames it to `path`, replacing whatever stood there (a file, a
// symbolic link, a FIFO) without writing through it. Nothing is left behind
// on failure (no such folder, not writable, `path` is a folder) and false is
// returned, with the system's reason in `error` when one is given; what
// stood at `path` is then unchanged.
bool replaceFile(const std::filesystem::path& path, const std::string& content, std::error_code* error = nullptr);

// The content of the regular file at `path`, when one is there and at most
// `maxBytes` long: nothing for a missing file, a symbolic link (whatever it
// points to), a folder, a FIFO, a device, or a file that cannot be read.
std::optional<std::string> readRegularFile(const std::filesystem::path& path, std::size_t maxBytes);

// True when anything at all stands at `path`, a dangling symbolic link too.
bool pathTaken(const std::filesystem::path& path);

}  // namespace files
