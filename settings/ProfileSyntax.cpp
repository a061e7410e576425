#include "ProfileSyntax.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

} // namespace

std::optional<std::string_view> SectionName(std::string_view line)
{
    const std::string_view trimmed = Trim(line);
    const std::size_t close = trimmed.find(']');
    if (trimmed.empty() || trimmed.front() != '[' || close == std::string_view::npos)
        return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

bool SameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

bool IsBlankLine(std::string_view line)
{
    return Trim(line).empty();
}

std::optional<std::string_view> KeyValue(std::string_view line, std::string_view key)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || !SameName(Trim(line.substr(0, equals)), key))
        return std::nullopt;
    return Trim(line.substr(equals + 1));
}

int LeadingInteger(std::string_view text)
{
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : std::min<long long>(value, INT_MAX);
    return static_cast<int>(value);
}
