#include "Help.h"

#include "CommandLine.h"
#include "CommandLineOptions.h"
#include "ConversionCommands.h"
#include "Usage.h"

#include <algorithm>
#include <cstddef>
#include <sstream>

namespace {

// Wide enough for the longest conversion option, "h1 - h9".
constexpr std::size_t kOptionColumn = 9;

void AddOptionLine(
    std::ostream& text, std::string_view option, std::string_view description, std::size_t column = kOptionColumn)
{
    text << '\t' << option << std::string(column - option.size(), ' ') << description << '\n';
}

std::string Written(const CCommandLineOption& option)
{
    return OptionName(option) + " " + std::string(option.valueName);
}

// Under a heading for each set of conversion options they go with; the
// first says how they are written. One column, two spaces past the widest.
void AddSettingLines(std::ostream& text)
{
    std::size_t column = 0;
    for (const CCommandLineOption& option : CommandLineOptions())
        column = std::max(column, Written(option).size() + 2);
    std::string_view conversions;
    for (const CCommandLineOption& option : CommandLineOptions()) {
        if (option.conversions != conversions)
            text << "\nBefore " << ConversionsOf(option)
                 << (conversions.empty() ? " (--name VALUE or --name=VALUE, -D NAME or -DNAME; -- ends them)" : "")
                 << '\n';
        conversions = option.conversions;
        AddOptionLine(text, Written(option), option.summary, column);
    }
}

std::string Description(const CConversionCommand& command, std::string_view bytesPerNumber)
{
    std::ostringstream description;
    description << command.optionSummary << ", " << bytesPerNumber << " per number";
    if (command.lineUnitEnabled)
        description << ", " << kCommandLineLineUnit << " per line";
    return description.str();
}

void AddCommandLines(std::ostream& text, const CConversionCommand& command)
{
    const std::string letter(1, command.option);
    const std::string_view bareUnit = command.bareByteUnit == 0 ? "the declared type's bytes" : "1 byte";
    AddOptionLine(text, letter, Description(command, bareUnit));
    if (command.optionTakesByteUnit)
        AddOptionLine(text, letter + "1 - " + letter + "9", Description(command, "1 to 9 bytes"));
}

} // namespace

bool AsksForHelp(std::string_view argument)
{
#ifdef _WIN32
    if (argument == "/?")
        return true;
#endif
    return argument == "--help" || argument == "-h";
}

bool AsksForVersion(std::string_view argument)
{
    return argument == "--version" || argument == "-V";
}

std::string HelpText()
{
    std::ostringstream text;
    text << kUsageText << "\n\nOptions in full\n";
    for (const CConversionCommand* command : kConversionCommands)
        AddCommandLines(text, *command);
    AddOptionLine(text, "-", "as source_file: standard input; as destination_file: standard output");
    AddOptionLine(text, "", "(a file named - is ./-)");
    AddSettingLines(text);
    text << '\n';
#ifdef _WIN32
    AddOptionLine(text, "/?", "this help");
#endif
    AddOptionLine(text, "-h", "this help (also --help)");
    AddOptionLine(text, "-V", "the version and licence (also --version)");
    return text.str();
}

std::string VersionText()
{
    return "morvex " MORVEX_VERSION "\n"
           "Copyright (c) 2026 Morvex project; MIT License: free to use, copy, modify and distribute, without "
           "warranty\n";
}
