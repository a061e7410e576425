#include "CommandLineParser.h"

#include "ConversionCommands.h"
#include "fileio/QuotedName.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// An option as an argument names it, with its value when the same argument
// holds it ("--abi=arm-eabi", "-DNAME").
struct COptionMatch
{
    const CCommandLineOption* option;
    std::optional<std::string_view> attachedValue;
};

std::optional<COptionMatch> MatchOption(std::string_view argument)
{
    for (const CCommandLineOption& option : CommandLineOptions()) {
        if (option.shortName != 0 && argument.size() >= 2 && argument[0] == '-' && argument[1] == option.shortName) {
            const std::string_view glued = argument.substr(2);
            return COptionMatch{&option, glued.empty() ? std::nullopt : std::optional(glued)};
        }
        const std::string longForm = "--" + std::string(option.longName);
        if (option.longName.empty() || !argument.starts_with(longForm))
            continue;
        const std::string_view rest = argument.substr(longForm.size());
        if (rest.empty())
            return COptionMatch{&option, std::nullopt};
        if (rest.front() == '=')
            return COptionMatch{&option, rest.substr(1)};
    }
    return std::nullopt;
}

// "-" alone names a standard stream, never an option.
bool LooksLikeOption(std::string_view argument)
{
    return argument.size() > 1 && argument.front() == '-';
}

CCommandLineParse Refused(std::string error)
{
    return {std::nullopt, std::move(error)};
}

// Reads the options at the start of the arguments into the settings, up to
// the first argument that is not one, or past the "--" that ends them.
class COptionReader
{
public:
    explicit COptionReader(std::span<const std::string_view> arguments)
        : m_arguments(arguments)
    {
    }

    // Why the options are refused; empty when they are not.
    std::string Read(CCommandLineSettings& settings)
    {
        for (; m_next < m_arguments.size() && LooksLikeOption(m_arguments[m_next]); ++m_next) {
            if (m_arguments[m_next] == "--") {
                ++m_next;
                break;
            }
            if (auto refused = ReadOne(settings); !refused.empty())
                return refused;
        }
        return {};
    }

    std::span<const std::string_view> Rest() const { return m_arguments.subspan(m_next); }
    std::span<const CCommandLineOption* const> Given() const { return m_given; }

private:
    std::string ReadOne(CCommandLineSettings& settings)
    {
        const std::string_view argument = m_arguments[m_next];
        const auto match = MatchOption(argument);
        if (!match)
            return "unknown option " + QuotedName(argument);
        const CCommandLineOption& option = *match->option;
        const std::string named = "option '" + OptionName(option) + "' ";
        if (!match->attachedValue && m_next + 1 == m_arguments.size())
            return named + "needs a value";
        const std::string_view value = match->attachedValue ? *match->attachedValue : m_arguments[++m_next];
        if (!option.repeatable && std::ranges::find(m_given, &option) != m_given.end())
            return named + "is given twice";
        m_given.push_back(&option);
        if (auto refused = option.apply(value, settings); !refused.empty())
            return named + refused;
        return {};
    }

    std::span<const std::string_view> m_arguments;
    std::size_t m_next = 0;
    std::vector<const CCommandLineOption*> m_given;
};

// What names the positional arguments in messages, as the usage does.
constexpr std::array<std::string_view, 3> kPositionalNames = {"option", "source_file", "destination_file"};

} // namespace

CCommandLineParse ParseCommandLine(std::span<const std::string_view> arguments)
{
    CCommandLineSettings settings;
    COptionReader options(arguments);
    if (auto refused = options.Read(settings); !refused.empty())
        return Refused(std::move(refused));

    const auto positionals = options.Rest();
    if (positionals.size() < kPositionalNames.size())
        return Refused("missing " + std::string(kPositionalNames[positionals.size()]));
    if (positionals.size() > kPositionalNames.size())
        return Refused("unexpected argument " + QuotedName(positionals[kPositionalNames.size()]));
    const auto conversion = ParseOption(positionals[0]);
    if (!conversion)
        return Refused("unknown option " + QuotedName(positionals[0]));
    for (const CCommandLineOption* option : options.Given())
        if (option->conversions.find(conversion->command->option) == std::string_view::npos)
            return Refused("option '" + OptionName(*option) + "' is for " + ConversionsOf(*option) + ", not "
                + QuotedName(positionals[0]));
    return {CCommandLineRequest{*conversion, std::move(settings), positionals[1], positionals[2]}, {}};
}

bool IsCommandLineOption(std::string_view argument)
{
    return argument == "--" || MatchOption(argument).has_value();
}
