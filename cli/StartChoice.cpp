#include "StartChoice.h"

#include "CommandLine.h"
#include "CommandLineParser.h"
#include "Help.h"
#include "fileio/Utf8Path.h"

#include <filesystem>

namespace {

bool NamesExistingFile(std::string_view argument)
{
    std::error_code error;
    const auto status = std::filesystem::status(PathFromUtf8(std::string(argument)), error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// Options before a conversion: one of ours first, or, after an option of
// any kind, a conversion option with two files. A toolkit's own options
// ("-platform offscreen") still open the dialogs.
bool MeansOptionsBeforeAConversion(std::span<const std::string_view> arguments)
{
    if (arguments.size() < 2)
        return false;
    if (IsCommandLineOption(arguments.front()))
        return true;
    return arguments.size() > 3 && arguments.front().starts_with('-')
        && ParseOption(arguments[arguments.size() - 3]).has_value();
}

} // namespace

CStartChoice ChooseStart(std::span<const std::string_view> arguments)
{
    if (arguments.size() == 3 || MeansOptionsBeforeAConversion(arguments))
        return {EStartMode::Conversion, {}};
    if (arguments.size() == 1) {
        const std::string_view only = arguments.front();
        if (AsksForHelp(only))
            return {EStartMode::Help, {}};
        if (AsksForVersion(only))
            return {EStartMode::Version, {}};
        return {EStartMode::Dialogs, NamesExistingFile(only) ? std::string(only) : std::string()};
    }
    if (!arguments.empty() && ParseOption(arguments.front()))
        return {EStartMode::UsageError, {}};
    return {EStartMode::Dialogs, {}};
}
