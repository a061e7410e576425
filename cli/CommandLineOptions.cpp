#include "CommandLineOptions.h"

#include "ConversionCommands.h"
#include "fileio/QuotedName.h"

#include <array>

namespace {

// ASCII only: a compiler's identifiers, whatever the user's locale.
bool IsIdentifierStart(char c)
{
    return c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsIdentifier(std::string_view name)
{
    if (name.empty() || !IsIdentifierStart(name.front()))
        return false;
    for (const char c : name)
        if (!IsIdentifierStart(c) && !(c >= '0' && c <= '9'))
            return false;
    return true;
}

// "NAME", or for a definition "NAME(PARAMETERS)" too, whose parameters are
// the preprocessor's to read. Checked here so that a typing mistake is a
// usage error, not a refusal of the file.
std::string RefusedMacroName(std::string_view name, bool parametersAllowed)
{
    if (name.empty())
        return "needs a name";
    const auto open = name.find('(');
    const bool parameters = parametersAllowed && open != std::string_view::npos && name.back() == ')';
    if (IsIdentifier(parameters ? name.substr(0, open) : name))
        return {};
    return "takes a macro name, not " + QuotedName(name);
}

std::string TakeArray(std::string_view value, CCommandLineSettings& settings)
{
    if (value.empty())
        return "needs a name";
    settings.cSource.arrayName = value;
    return {};
}

// As a compiler's -D: "NAME" is NAME defined as 1, "NAME=" as nothing.
std::string TakeDefinition(std::string_view value, CCommandLineSettings& settings)
{
    const auto equals = value.find('=');
    const std::string_view name = value.substr(0, equals);
    if (auto refused = RefusedMacroName(name, true); !refused.empty())
        return refused;
    const std::string definition = equals == std::string_view::npos ? "1" : std::string(value.substr(equals + 1));
    settings.cSource.macros.push_back({std::string(name), definition, false});
    return {};
}

std::string TakeUndefinition(std::string_view value, CCommandLineSettings& settings)
{
    if (auto refused = RefusedMacroName(value, false); !refused.empty())
        return refused;
    settings.cSource.macros.push_back({std::string(value), {}, true});
    return {};
}

std::string TakeAbi(std::string_view value, CCommandLineSettings& settings)
{
    const auto abi = AbiFromName(value);
    if (!abi)
        return "takes x86_64-linux, x86_64-windows or arm-eabi, not " + QuotedName(value);
    settings.cSource.abi = *abi;
    return {};
}

constexpr std::array kOptions = {
    CCommandLineOption{.longName = "array",
        .valueName = "NAME",
        .conversions = "c",
        .summary = "the array to read (default: the first)",
        .apply = &TakeArray},
    CCommandLineOption{.shortName = 'D',
        .valueName = "NAME[=VALUE]",
        .repeatable = true,
        .conversions = "c",
        .summary = "define a macro as a compiler's -D does (NAME alone: 1; -D'F(x)=x')",
        .apply = &TakeDefinition},
    CCommandLineOption{.shortName = 'U',
        .valueName = "NAME",
        .repeatable = true,
        .conversions = "c",
        .summary = "undefine a macro as a compiler's -U does (in order with -D)",
        .apply = &TakeUndefinition},
    CCommandLineOption{.longName = "abi",
        .valueName = "ABI",
        .conversions = "c",
        .summary = "the compiler's platform: x86_64-linux (default), x86_64-windows, arm-eabi",
        .apply = &TakeAbi},
};

} // namespace

std::span<const CCommandLineOption> CommandLineOptions()
{
    return kOptions;
}

std::string OptionName(const CCommandLineOption& option)
{
    return option.longName.empty() ? std::string{'-', option.shortName} : "--" + std::string(option.longName);
}

std::string ConversionsOf(const CCommandLineOption& option)
{
    std::string listed;
    for (const CConversionCommand* command : kConversionCommands) {
        if (option.conversions.find(command->option) == std::string_view::npos)
            continue;
        const std::string letter(1, command->option);
        listed += (listed.empty() ? "" : ", ") + letter;
        if (command->optionTakesByteUnit)
            listed += ", " + letter + "1 - " + letter + "9";
    }
    return listed;
}
