#include "ProfileText.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <vector>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

struct CLine
{
    std::string_view text;
    std::string_view end;   // "" only for a last line that has none
};

using Lines = std::vector<CLine>;

Lines SplitLines(std::string_view text)
{
    Lines lines;
    while (!text.empty()) {
        const std::size_t cut = std::min(text.find_first_of("\r\n"), text.size());
        const std::size_t endSize = text.substr(cut).starts_with("\r\n") ? 2 : cut < text.size() ? 1 : 0;
        lines.push_back({text.substr(0, cut), text.substr(cut, endSize)});
        text.remove_prefix(cut + endSize);
    }
    return lines;
}

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::optional<std::string_view> SectionName(std::string_view line)
{
    const std::string_view trimmed = Trim(line);
    const std::size_t close = trimmed.find(']');
    if (!trimmed.starts_with('[') || close == std::string_view::npos)
        return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

std::optional<std::string_view> KeyValue(std::string_view line, std::string_view key)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || !SameName(Trim(line.substr(0, equals)), key))
        return std::nullopt;
    return Trim(line.substr(equals + 1));
}

// Where a key stands: the header of its section (the end when there is none),
// the line after the section, and the key's line (that same line when absent).
struct CPlace
{
    Lines::const_iterator header;
    Lines::const_iterator sectionEnd;
    Lines::const_iterator keyLine;
};

CPlace FindKey(const Lines& lines, std::string_view section, std::string_view key)
{
    const auto isSection = [](const CLine& line) { return SectionName(line.text).has_value(); };
    const auto header = std::ranges::find_if(lines, [section](const CLine& line) {
        const auto name = SectionName(line.text);
        return name && SameName(*name, section);
    });
    if (header == lines.end())
        return {header, header, header};
    const auto sectionEnd = std::find_if(std::next(header), lines.end(), isSection);
    const auto keyLine = std::find_if(
        std::next(header), sectionEnd, [key](const CLine& line) { return KeyValue(line.text, key).has_value(); });
    return {header, sectionEnd, keyLine};
}

// Where a new entry goes in its section: before the blank lines that close it.
Lines::const_iterator EntryPlace(const CPlace& place)
{
    auto at = place.sectionEnd;
    while (at != std::next(place.header) && Trim(std::prev(at)->text).empty())
        --at;
    return at;
}

std::string_view WithoutByteOrderMark(std::string_view text)
{
    return text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size()) : text;
}

} // namespace

std::optional<std::string> ReadProfileText(std::istream& in, std::size_t limit)
{
    std::string text;
    char chunk[4096];
    while (in && text.size() <= limit) {
        in.read(chunk, sizeof chunk);
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    // A stream that never opened ends without reaching its end, too.
    if (!in.eof() || in.bad() || text.size() > limit)
        return std::nullopt;
    return text;
}

std::optional<std::string_view> ProfileValue(std::string_view text, std::string_view section, std::string_view key)
{
    const Lines lines = SplitLines(WithoutByteOrderMark(text));
    const CPlace place = FindKey(lines, section, key);
    return place.keyLine != place.sectionEnd ? KeyValue(place.keyLine->text, key) : std::nullopt;
}

std::string WithProfileValue(std::string_view text, std::string_view section, std::string_view key,
    std::string_view value, std::string_view newFileEnd)
{
    const std::string_view body = WithoutByteOrderMark(text);
    Lines lines = SplitLines(body);
    const std::string_view style = lines.empty() || lines.front().end.empty() ? newFileEnd : lines.front().end;
    // Whatever is added goes after the last line, which therefore needs an end.
    if (!lines.empty() && lines.back().end.empty())
        lines.back().end = style;
    const CPlace place = FindKey(lines, section, key);
    const bool replacing = place.keyLine != place.sectionEnd;
    const auto at = replacing || place.header == lines.cend() ? place.keyLine : EntryPlace(place);

    const std::string entry = std::string(key) + "=" + std::string(value);
    std::string out(text.substr(0, text.size() - body.size()));
    const auto put = [&out](std::string_view line, std::string_view end) { out.append(line).append(end); };
    for (auto line = lines.cbegin(); line != lines.cend(); ++line) {
        if (line == at)
            put(entry, replacing ? line->end : style);
        if (line != at || !replacing)
            put(line->text, line->end);
    }
    if (place.header == lines.cend())
        out.append("[").append(section).append("]").append(style);
    if (at == lines.cend())
        put(entry, style);
    return out;
}
