#pragma once
// The disk list as the window reads it, and one drive looked up in it.

#include "disk/PhyDiskInfo.h"

#include <optional>
#include <string>
#include <vector>

// The whole list with identities; false when the system disk could not be
// determined (then it is empty).
bool readDisks(int& diskCount, std::vector<PhyDiskInfo>& diskList);

// Physical drive `diskNum` of the list, with its identity read; on failure a
// message is on standard error.
std::optional<PhyDiskInfo> readDisk(int diskNum);

// The decimal drive number of an argument, if it is one.
std::optional<int> parseDiskNumber(const std::string& text);
