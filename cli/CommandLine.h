#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string_view>

struct CConversionCommand;

// One conversion asked for on the command line.
struct CCommandLineConversion
{
    const CConversionCommand* command;
    int byteUnit;
    int lineUnit;
};

// Numbers per line of every text the command line writes.
inline constexpr int kCommandLineLineUnit = 10;

// The conversion an option selects: h, b, i (byte unit 1), c (byte unit 0: the
// declared type's), each followed by a digit 1 to 9 (that byte unit), or h
// and any other single byte (byte unit 1); nothing for any other option.
std::optional<CCommandLineConversion> ParseOption(std::string_view option);

// Runs "[options] option source destination" (the arguments after the
// program's name), where "-" names standard input or output. Prints nothing
// on success; on failure one line naming the file and the reason, or one
// line saying what is wrong with the arguments and the usage text.
int RunCommandLine(std::span<const std::string_view> arguments, std::ostream& errors);

// The usage text, as printed for a command line that cannot be run.
void PrintUsage(std::ostream& errors);
