#include "AppNames.h"
#include "QtPlatformServices.h"
#include "TempDir.h"
#include "Usage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/wait.h>

namespace {

struct CRun
{
    int exitCode;
    std::string errors;
};

// Runs the program with its standard error captured.
CRun RunProgram(const std::string& environment, const std::string& arguments)
{
    const std::string command = environment + " '" MORVEX_BINARY "' " + arguments + " 2>&1 >/dev/null";
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

// Sets an environment variable for one scope and restores it afterwards.
class CScopedEnvironment
{
public:
    CScopedEnvironment(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~CScopedEnvironment() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
    CScopedEnvironment(const CScopedEnvironment&) = delete;
    CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(DialogMode, SettingsLiveInTheUsersConfigurationFolder)
{
    CTempDir dir;
    const CQtPlatformServices services(CAppNames::FromExecutablePath("/opt/tools/Morvex"));
    {
        const CScopedEnvironment config("XDG_CONFIG_HOME", dir.Path("config").c_str());
        EXPECT_EQ(services.SettingsFilePath(), dir.Root() / "config" / "Morvex.INI");
    }
    const CScopedEnvironment noConfig("XDG_CONFIG_HOME", nullptr);
    const CScopedEnvironment home("HOME", dir.Root().c_str());
    EXPECT_EQ(services.SettingsFilePath(), dir.Root() / ".config" / "Morvex.INI");
}

} // namespace
