#include "IntegerText.h"

#include <algorithm>
#include <climits>

namespace {

// Counted in bytes of the UTF-8 text: any other character than an ASCII
// blank, sign or digit refuses the text anyway, so the first 31 bytes decide
// exactly as the first 31 characters would.
constexpr std::size_t kMaxCharacters = 31;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<int> ParseIntegerText(std::string_view text)
{
    text = text.substr(0, kMaxCharacters);
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const std::size_t numberStart = i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;

    const std::size_t digitsStart = i;
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), kLimit);
    if (i == digitsStart)
        return std::nullopt;

    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i != text.size())
        return std::nullopt;
    if (magnitude == 0 && text[numberStart] != '0')
        return std::nullopt;
    return static_cast<int>(negative ? -magnitude : std::min<long long>(magnitude, INT_MAX));
}
