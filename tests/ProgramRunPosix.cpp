#include "ProgramRun.h"

#include "TempDir.h"

#include <sys/wait.h>

#include <cstdlib>

CProgramOutcome RunProgram(const std::string& program, const std::filesystem::path& folder,
    const std::vector<std::string>& args, const std::filesystem::path& input)
{
    const std::string name = folder.filename().string();
    const std::string outFile = (folder.parent_path() / ("morvex-out-" + name)).string();
    const std::string errFile = (folder.parent_path() / ("morvex-err-" + name)).string();
    std::string command = "cd '" + folder.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" + program + "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " >'" + outFile + "' 2>'" + errFile + "'";
    if (!input.empty())
        command += " <'" + input.string() + "'";
    const int status = std::system(command.c_str());
    CProgramOutcome outcome{
        WIFEXITED(status) ? WEXITSTATUS(status) : -1, CTempDir::Read(errFile), CTempDir::Read(outFile)};
    std::filesystem::remove(outFile);
    std::filesystem::remove(errFile);
    return outcome;
}
