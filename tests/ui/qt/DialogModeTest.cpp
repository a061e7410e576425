#include "TempDir.h"
#include "Usage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

struct CRun
{
    int exitCode;
    std::string errors;
};

// Runs the program with its standard error captured.
CRun RunProgram(const std::string& environment, const std::string& arguments, const std::string& program = MORVEX_BINARY)
{
    const std::string command = environment + " '" + program + "' " + arguments + " 2>&1 >/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(DialogMode, WithoutADisplayExplainsAndShowsTheUsage)
{
    for (const char* arguments : {"", "i only-two", "i a b c"}) {
        const CRun run = RunProgram("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        const std::size_t firstLineEnd = run.errors.find('\n');
        ASSERT_NE(firstLineEnd, std::string::npos) << run.errors;
        EXPECT_NE(run.errors.substr(0, firstLineEnd).find("no display"), std::string::npos) << run.errors;
        EXPECT_EQ(run.errors.substr(firstLineEnd + 1), std::string(kUsageText) + "\n");
    }
}

TEST(DialogMode, WithoutItsDialogsModuleTheProgramSaysSoAndFails)
{
    CTempDir dir;
    const std::string lonely = dir.Path("morvex");
    std::filesystem::copy_file(MORVEX_BINARY, lonely);
    std::filesystem::permissions(lonely, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
    const CRun run = RunProgram("env QT_QPA_PLATFORM=offscreen", "", lonely);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors.rfind("morvex: cannot load the dialogs: ", 0), 0u) << run.errors;
}

} // namespace
