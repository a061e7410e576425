#include "AppNames.h"

#include <gtest/gtest.h>

namespace {

struct NamesCase
{
    const char* path;
    const char* baseName;
    const char* helpFile;
    const char* settingsFile;
};

class AppNames : public testing::TestWithParam<NamesCase>
{
};

TEST_P(AppNames, AreDerivedFromTheExecutablePath)
{
    const NamesCase& c = GetParam();
    const CAppNames names = CAppNames::FromExecutablePath(c.path);
    EXPECT_EQ(names.executableBaseName, c.baseName);
    EXPECT_EQ(names.applicationName, c.baseName);
    EXPECT_EQ(names.helpFilePath, c.helpFile);
    EXPECT_EQ(names.settingsFileName, c.settingsFile);
}

INSTANTIATE_TEST_SUITE_P(Paths, AppNames,
    testing::Values(
        NamesCase{"C:\\Tools\\Morvex.exe", "Morvex", "C:\\Tools\\Morvex.HLP", "Morvex.INI"},
        NamesCase{"/usr/local/bin/morvex", "morvex", "/usr/local/bin/morvex.HLP", "morvex.INI"},
        NamesCase{"/opt/my.tools/conv.v2.bin", "conv.v2", "/opt/my.tools/conv.v2.HLP", "conv.v2.INI"},
        NamesCase{"D:renamed.exe", "renamed", "D:renamed.HLP", "renamed.INI"},
        NamesCase{"morvex", "morvex", "morvex.HLP", "morvex.INI"}));

TEST(AppNames, TheRunningExecutableIsFound)
{
    const CAppNames names = CAppNames::FromExecutablePath(ExecutablePath());
    EXPECT_EQ(names.executableBaseName, "app_tests");
}

} // namespace
