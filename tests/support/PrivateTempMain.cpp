// The main of the GoogleTest programs on Linux. CTest runs every case as a
// process of its own, two at a time, so a fixed name in the shared /tmp would
// be written by two cases at once: each process gets a folder of its own,
// which testing::TempDir() names, and removes it at the end.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    std::string folder = (std::filesystem::temp_directory_path() / "quillfence-test-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("TEST_TMPDIR", (folder + "/").c_str(), 1);
    const int status = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return status;
}
