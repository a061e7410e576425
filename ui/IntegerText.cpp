#include "IntegerText.h"

#include <algorithm>
#include <climits>

namespace {

constexpr qsizetype kMaxCharacters = 31;

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

std::optional<int> ParseIntegerText(QStringView text)
{
    text = text.left(kMaxCharacters);
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const qsizetype numberStart = i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;

    const qsizetype digitsStart = i;
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        magnitude = std::min(magnitude * 10 + (text[i].unicode() - u'0'), kLimit);
    if (i == digitsStart)
        return std::nullopt;

    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i != text.size())
        return std::nullopt;
    if (magnitude == 0 && text[numberStart] != u'0')
        return std::nullopt;
    return static_cast<int>(negative ? -magnitude : std::min<long long>(magnitude, INT_MAX));
}
