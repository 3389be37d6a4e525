// The CLI the tests run reads none of the developer's own settings (their
// language above all): its user configuration folder is an empty one of the
// test process. A test that needs settings names a folder of its own.
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class NoUserSettings : public testing::Environment {
public:
    void SetUp() override { ::setenv("XDG_CONFIG_HOME", (testing::TempDir() + "no-user-settings").c_str(), 1); }
};

testing::Environment* const kNoUserSettings = testing::AddGlobalTestEnvironment(new NoUserSettings);

}  // namespace
