// Arbitrary text through the mountinfo parser of the Linux backend. Besides
// the sanitizers: every entry names a device as major:minor, and no line
// gives more than one entry.

#include "disk/linux/MountInfo.h"
#include "tests/fuzz/FuzzRule.h"

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t length)
{
    const std::string text(reinterpret_cast<const char*>(input), length);
    const auto entries = parseMountInfo(text);
    Require(entries.size() <= static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1,
            "at most one entry a line");
    for (const MountEntry& entry : entries) {
        Require(entry.majMin.find(':') != std::string::npos, "device as major:minor");
        Require(entry.mountPoint.size() <= text.size(), "mount point from its line");
        Require(entry.source.size() <= text.size(), "source from its line");
    }
    return 0;
}
