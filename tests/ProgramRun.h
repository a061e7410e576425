#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct CProgramOutcome
{
    int exitCode;         // -1 when the program did not exit normally
    std::string errors;   // standard error, byte for byte
    std::string output;   // standard output, byte for byte
};

// Runs a program as a user would, inside the folder and without a display,
// with its standard output and error captured in files beside the folder and
// its standard input read from the file input when one is named. Arguments
// are UTF-8. On Windows a relative program path is taken from the test
// program's own folder, so the build tree may sit anywhere.
CProgramOutcome RunProgram(const std::string& program, const std::filesystem::path& folder,
    const std::vector<std::string>& args, const std::filesystem::path& input = {});

#ifdef _WIN32
// The same with standard output appended to the file output, as ">>" does;
// the outcome's output is then empty.
CProgramOutcome RunProgramAppending(const std::string& program, const std::filesystem::path& folder,
    const std::vector<std::string>& args, const std::filesystem::path& input, const std::filesystem::path& output);

// The program's full path: a relative one is taken from the test program's folder.
std::filesystem::path ProgramPath(const std::string& program);
#endif
