#pragma once

#include <span>
#include <string>
#include <string_view>

// What the program does with the arguments after its own name.
enum class EStartMode {
    Conversion,   // [options] option source_file destination_file, or a mistake in them
    Help,         // the usage and every option, on standard output
    Version,      // the version and licence, on standard output
    UsageError,   // a conversion option with too few or too many files: a script's mistake
    Dialogs,      // anything else
};

struct CStartChoice
{
    EStartMode mode;
    // For the dialogs: the file named as the only argument, as when a file is
    // dropped on the program or a desktop entry passes one; empty otherwise.
    std::string sourcePath;
};

CStartChoice ChooseStart(std::span<const std::string_view> arguments);
