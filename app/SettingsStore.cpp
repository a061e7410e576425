#include "SettingsStore.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionName(std::string_view line)
{
    const std::string_view trimmed = Trim(line);
    const std::size_t close = trimmed.find(']');
    if (trimmed.empty() || trimmed.front() != '[' || close == std::string_view::npos)
        return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

bool IsKeyLine(std::string_view line, std::string_view key)
{
    const std::size_t equals = line.find('=');
    return equals != std::string_view::npos && SameName(Trim(line.substr(0, equals)), key);
}

Lines ReadLines(const std::filesystem::path& file)
{
    Lines lines;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Where a key lives: the section's lines run from sectionLine + 1 to end.
struct CKeyPlace
{
    std::optional<std::size_t> sectionLine;
    std::optional<std::size_t> keyLine;
    std::size_t sectionEnd = 0;
};

CKeyPlace FindKey(const Lines& lines, std::string_view section, std::string_view key)
{
    CKeyPlace place;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i])) {
            if (inSection)
                break;
            inSection = SameName(*name, section);
            if (inSection)
                place.sectionLine = place.sectionEnd = i;
            continue;
        }
        if (!inSection)
            continue;
        if (!Trim(lines[i]).empty())
            place.sectionEnd = i;
        if (!place.keyLine && IsKeyLine(lines[i], key))
            place.keyLine = i;
    }
    return place;
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

bool WriteLines(const std::filesystem::path& file, const Lines& lines)
{
    std::error_code ignored;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), ignored);
    // Written beside the file and moved over it, so a failed write never
    // leaves half a settings file behind.
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines)
            out << line << '\n';
        if (!out.flush())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    return !error;
}

} // namespace

CSettingsStore::CSettingsStore(std::filesystem::path file)
    : m_file(std::move(file))
{
}

int CSettingsStore::ReadSettingInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const Lines lines = ReadLines(m_file);
    const CKeyPlace place = FindKey(lines, section, key);
    if (!place.keyLine)
        return defaultValue;
    const std::string_view line = lines[*place.keyLine];
    const std::string_view value = Trim(line.substr(line.find('=') + 1));
    return value.empty() ? defaultValue : LeadingInteger(value);
}

bool CSettingsStore::WriteSettingInt(std::string_view section, std::string_view key, int value) const
{
    Lines lines = ReadLines(m_file);
    const CKeyPlace place = FindKey(lines, section, key);
    std::string entry = std::string(key) + "=" + std::to_string(value);
    if (place.keyLine) {
        lines[*place.keyLine] = std::move(entry);
    } else if (place.sectionLine) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.sectionEnd) + 1, std::move(entry));
    } else {
        std::string header = "[";
        header.append(section).append("]");
        lines.push_back(std::move(header));
        lines.push_back(std::move(entry));
    }
    return WriteLines(m_file, lines);
}
