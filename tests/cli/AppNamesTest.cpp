#include "AppNames.h"

#include <gtest/gtest.h>

namespace {

struct NamesCase
{
    const char* path;
    const char* baseName;
    const char* settingsFile;
};

class AppNames : public testing::TestWithParam<NamesCase>
{};

TEST_P(AppNames, AreDerivedFromTheExecutablePath)
{
    const NamesCase& c = GetParam();
    const CAppNames names = CAppNames::FromExecutablePath(c.path);
    EXPECT_EQ(names.applicationName, c.baseName);
    EXPECT_EQ(names.settingsFileName, c.settingsFile);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Paths, AppNames,
    testing::Values(
        NamesCase{"C:\\Tools\\Morvex.exe", "Morvex", "Morvex.INI"},
        NamesCase{"/usr/local/bin/morvex", "morvex", "morvex.INI"},
        NamesCase{"/opt/my.tools/conv.v2.bin", "conv.v2", "conv.v2.INI"},
        NamesCase{"D:renamed.exe", "renamed", "renamed.INI"},
        NamesCase{"morvex", "morvex", "morvex.INI"}));
// clang-format on

TEST(AppNames, TheRunningExecutableIsFound)
{
    const CAppNames names = CAppNames::FromExecutablePath(ExecutablePath());
    EXPECT_EQ(names.applicationName, "cli_tests");
}

} // namespace
