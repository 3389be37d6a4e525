#pragma once
// The JSON output of quillfence-cli, format version 1 (described by
// docs/quillfence-cli.schema.json): every object starts with the format's
// version, the program's version and the arguments; a drive keeps the keys
// earlier versions printed and adds typed ones beside them.

#include "cli/Commands.h"
#include "cli/DiskLookup.h"
#include "cli/SmartReport.h"

#include <nlohmann/json.hpp>

#include <string>

using Json = nlohmann::ordered_json;

constexpr int kJsonFormatVersion = 1;

// {"json_format_version": 1, "program": {"name", "version", "arguments"}}:
// the arguments are the command's name and the words after it.
Json jsonHeader(const std::string& command, const Arguments& arguments);
// A listed drive: identity, device, bus, capacity, partitions.
Json driveJson(const DriveReading& drive);
// Adds the SMART table, the remaining life and the health level.
void addSmartJson(Json& out, const SmartReport& report);
// One line of JSON; bytes that are no UTF-8 (a mount point can hold any)
// are replaced rather than failing the output.
std::string jsonLine(const Json& json);
