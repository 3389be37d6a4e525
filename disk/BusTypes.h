#pragma once
// Names of the storage descriptor's bus types ("sata" for 11, "usb" for 7,
// ...), as fleet files write them and the command line prints them.

#include <cstdint>
#include <optional>
#include <string>

// The name of a bus type; nullptr for a number without one.
const char* BusTypeName(uint32_t busType);
// The bus type of a lower-case name.
std::optional<uint32_t> BusTypeOfName(const std::string& name);
