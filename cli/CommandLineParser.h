#pragma once

#include "CommandLine.h"
#include "CommandLineOptions.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

// A whole command line for one conversion: the options, then the conversion
// option, the source and the destination.
struct CCommandLineRequest
{
    CCommandLineConversion conversion;
    CCommandLineSettings settings;
    std::string_view sourcePath;
    std::string_view destPath;
};

// The request, or why the arguments make none: "unknown option '--arry'".
struct CCommandLineParse
{
    std::optional<CCommandLineRequest> request;
    std::string error;
};

// The arguments after the program's name. Options come first, each as
// CommandLineOptions() has it; "--" ends them, for a source named "-x".
CCommandLineParse ParseCommandLine(std::span<const std::string_view> arguments);

// Whether the argument is one of the options before the conversion option,
// in any of its forms, or the "--" that ends them.
bool IsCommandLineOption(std::string_view argument);
