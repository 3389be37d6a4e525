// Writes the example drives as fuzzing seeds, one file each, into the
// directory given as the only argument.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "smart/samples/SmartSamples.h"
#include "tests/fuzz/SmartFuzzInput.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    for (const smart::SmartSample& sample : smart::SmartSamples()) {
        PhyDiskInfo record;
        std::memset(&record, 0, sizeof record);
        sample.CopyInto(record);
        const std::string path = std::string(argv[1]) + "/" + sample.label;
        std::ofstream file(path, std::ios::binary);
        file << smart::EncodeFuzzInput(record);
        if (!file) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
