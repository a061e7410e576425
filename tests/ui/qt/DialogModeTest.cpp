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
CRun RunProgram(
    const std::string& environment, const std::string& arguments, const std::string& program = MORVEX_BINARY)
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
    // (A conversion option with too few or too many files is a usage error
    // before any display is looked for.)
    for (const char* arguments : {"", "x only-two", "x a b c", "missing-file.bin"}) {
        const CRun run = RunProgram("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        const std::size_t firstLineEnd = run.errors.find('\n');
        ASSERT_NE(firstLineEnd, std::string::npos) << run.errors;
        EXPECT_NE(run.errors.substr(0, firstLineEnd).find("no display"), std::string::npos) << run.errors;
        EXPECT_EQ(run.errors.substr(firstLineEnd + 1), std::string(kUsageText) + "\n");
    }
}

// An X display number nothing listens on.
std::string FreeXDisplay()
{
    for (int number = 97;; ++number) {
        const std::string n = std::to_string(number);
        if (!std::filesystem::exists("/tmp/.X11-unix/X" + n) && !std::filesystem::exists("/tmp/.X" + n + "-lock"))
            return ":" + n;
    }
}

TEST(DialogMode, AnUnreachableDisplayIsAUsageErrorWithoutACoreDump)
{
    CTempDir runtime;
    const std::string x = FreeXDisplay();
    const std::string folder = runtime.Root().string();
    const std::string noCompositor = " XDG_RUNTIME_DIR=" + folder + " WAYLAND_DISPLAY=wayland-none";
    const struct
    {
        std::string environment;
        std::string named;
        bool beforeTheToolkit;  // found out before Qt tried: nothing of Qt's printed
    } cases[] = {
        {"-u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=" + x, x, true},
        {"-u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb DISPLAY=" + x, x, true},
        {"-u QT_QPA_PLATFORM DISPLAY=" + x + noCompositor, x, true},
        {"-u DISPLAY -u QT_QPA_PLATFORM" + noCompositor, folder + "/wayland-none", true},
        {"-u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=/nonexistent/wayland-0", "/nonexistent/wayland-0", true},
        {"QT_QPA_PLATFORM=wayland DISPLAY=" + x + noCompositor, folder + "/wayland-none", true},
        {"QT_QPA_PLATFORM=nonexistent", "nonexistent", false},
    };
    for (const auto& c : cases) {
        const CRun run = RunProgram("env -u WAYLAND_SOCKET " + c.environment, "");
        EXPECT_EQ(run.exitCode, 2) << c.environment << "\n" << run.errors;
        const std::string expected
            = "morvex: cannot open the display '" + c.named + "'\n" + std::string(kUsageText) + "\n";
        if (c.beforeTheToolkit)
            EXPECT_EQ(run.errors, expected) << c.environment;
        else
            EXPECT_TRUE(run.errors.ends_with(expected)) << c.environment << "\n" << run.errors;
    }
}

TEST(DialogMode, WithoutItsDialogsModuleTheProgramNamesThePackageAndShowsTheUsage)
{
    CTempDir dir;
    const std::string lonely = dir.Path("morvex");
    std::filesystem::copy_file(MORVEX_BINARY, lonely);
    std::filesystem::permissions(lonely, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
    const CRun run = RunProgram("env QT_QPA_PLATFORM=offscreen", "", lonely);
    EXPECT_EQ(run.exitCode, 2);
    const std::size_t firstLineEnd = run.errors.find('\n');
    ASSERT_NE(firstLineEnd, std::string::npos) << run.errors;
    const std::string firstLine = run.errors.substr(0, firstLineEnd);
    EXPECT_EQ(firstLine.rfind("morvex: cannot load the dialogs (", 0), 0u) << run.errors;
    EXPECT_TRUE(firstLine.ends_with("; they come with the package morvex-dialogs")) << run.errors;
    EXPECT_EQ(run.errors.substr(firstLineEnd + 1), std::string(kUsageText) + "\n");
}

} // namespace
