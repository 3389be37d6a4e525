#pragma once
// The folders whose "FwUpdata" may hold the firmware images, in the order
// they are searched: the program's own folder first, then the data folders of
// the platform, where an installed program's images are put. UTF-8, no
// trailing separator; a folder that cannot be determined is left out.
// Defined in the platform's file.

#include <string>
#include <vector>

std::vector<std::string> FwImageFolders();
