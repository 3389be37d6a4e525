#pragma once
// The disk list as the window reads it, and one drive read alone.

#include "disk/DiskList.h"
#include "disk/PhyDiskInfo.h"

#include <optional>
#include <string>
#include <vector>

// The whole list with identities. An empty list other than Listed has its
// message on standard error.
DiskListStatus readDisks(int& diskCount, std::vector<PhyDiskInfo>& diskList);

// Physical drive `diskNum` with its identity read; no other drive is opened.
// On failure a message is on standard error.
std::optional<PhyDiskInfo> readDisk(int diskNum);

// The decimal drive number of an argument, if it is one.
std::optional<int> parseDiskNumber(const std::string& text);
