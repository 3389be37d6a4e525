#pragma once
// The files the simulated backend reads (fleet and sector files) and writes
// (the device log). Only a regular file is used: a FIFO, a device, a
// directory or a symbolic link named in its place is refused at once, so a
// read can neither block nor go on without end, and a write lands in no file
// the name was not meant for. The platform's part lives in
// RegularFilePosix.cpp or RegularFileWindows.cpp.

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

// The whole regular file at `path` when it holds at most `maxBytes`;
// otherwise nothing, and `error` says why.
std::optional<std::string> readRegularFile(const std::string& path, size_t maxBytes, std::string& error);

// The regular file at `path` opened for appending, created when it does not
// exist yet; nullptr when it cannot be, and `error` says why.
std::FILE* openRegularFileToAppend(const std::string& path, std::string& error);
