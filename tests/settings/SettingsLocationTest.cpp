#include "SettingsLocation.h"

#include <gtest/gtest.h>

namespace {

// Windows keeps settings in the application data folder, not by these rules.
#ifndef _WIN32
struct FolderCase
{
    const char* xdgConfigHome;
    const char* expected;
};

class ConfigurationFolder : public testing::TestWithParam<FolderCase>
{};

TEST_P(ConfigurationFolder, FollowsTheXdgRules)
{
    EXPECT_EQ(::ConfigurationFolder(GetParam().xdgConfigHome, "/home/kim"), std::filesystem::path(GetParam().expected));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, ConfigurationFolder,
    testing::Values(
        FolderCase{"/srv/config", "/srv/config"},
        FolderCase{nullptr, "/home/kim/.config"},
        FolderCase{"", "/home/kim/.config"},
        FolderCase{"config", "/home/kim/.config"},
        FolderCase{"./config", "/home/kim/.config"},
        FolderCase{"~/config", "/home/kim/.config"}));
// clang-format on
#endif

} // namespace
