#include "SettingsStore.h"

#include "fileio/FilePlatform.h"
#include "ProfileText.h"
#include "SaveLock.h"
#include "SettingsFile.h"
#include "fileio/Utf8Path.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <istream>
#include <optional>
#include <string>

namespace {

// A settings file holds a few lines; anything larger is not ours to rewrite.
constexpr std::size_t kLargestFile = 1 << 20;

// New files take the platform's line end; an existing file keeps its own.
#ifdef _WIN32
constexpr std::string_view kNewFileLineEnd = "\r\n";
#else
constexpr std::string_view kNewFileLineEnd = "\n";
#endif

// The file's text, or while there is none the older place's; empty when
// neither exists, nothing when the one to read is not a regular file, cannot
// be read whole or is too large.
std::optional<std::string> ReadFileText(const std::filesystem::path& file, const std::filesystem::path& carriedOverFrom)
{
    CSettingsFile buffer(file);
    if (buffer.State() == CSettingsFile::EState::Missing)
        return carriedOverFrom.empty() ? std::optional<std::string>(std::in_place) : ReadFileText(carriedOverFrom, {});
    if (buffer.State() != CSettingsFile::EState::Regular)
        return std::nullopt;
    std::istream in(&buffer);
    return ReadProfileText(in, kLargestFile);
}

} // namespace

CSettingsStore::CSettingsStore(std::filesystem::path file, std::filesystem::path carriedOverFrom)
    : m_file(std::move(file))
    , m_carriedOverFrom(std::move(carriedOverFrom))
{
}

int CSettingsStore::ReadSettingInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const auto text = ReadFileText(m_file, m_carriedOverFrom);
    const auto value = text ? ProfileValue(*text, section, key) : std::nullopt;
    if (!value || value->empty())
        return defaultValue;
    // Its sign and leading digits, clamped to int; no digits read as 0.
    const long long number = std::strtoll(std::string(*value).c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(number, INT_MIN, INT_MAX));
}

bool CSettingsStore::WriteSettingInt(std::string_view section, std::string_view key, int value) const
{
    // A linked file gets its target rewritten and keeps the link.
    std::string linkTarget;
    int loop = 0;
    if (!FilePlatform::FollowLinks(Utf8FromPath(m_file), linkTarget, loop))
        return false;
    const std::filesystem::path target = ReplacedName(PathFromUtf8(linkTarget));
    std::error_code error;
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), error);
    // Held from the read to the replacement, so a concurrent save cannot slip
    // in between and have its change overwritten.
    const CSaveLock lock(target);
    // A file that cannot be read whole is left as it is rather than rewritten
    // from part of it.
    const auto text = ReadFileText(target, m_carriedOverFrom);
    if (!text || !MayChange(target))
        return false;
    const std::string updated = WithProfileValue(*text, section, key, std::to_string(value), kNewFileLineEnd);
    // Always a whole new file, flushed, then renamed over the old one, never
    // the old one rewritten: a reader sees the old settings or the new ones,
    // a crash leaves one of them, and other hard links keep the old ones.
    FilePlatform::CReplacement replacement;   // discards what it does not commit
    int failure = 0;
    return replacement.Create(Utf8FromPath(target), failure)
        && FilePlatform::Write(replacement.File(), updated.data(), updated.size()) == 0 && replacement.Commit(failure);
}
