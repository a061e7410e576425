#include "SettingsStore.h"

#include "ProfileLineReader.h"
#include "ProfileRewrite.h"
#include "ProfileSyntax.h"
#include "SafeSave.h"

#include <fstream>
#include <string>

namespace {

constexpr int kMaxLinks = 40;

// The file a chain of symbolic links ends in, whether it exists or not, so
// that a save replaces the target and leaves the link in place.
std::filesystem::path LinkTarget(std::filesystem::path file)
{
    std::error_code error;
    for (int i = 0; i < kMaxLinks && std::filesystem::is_symlink(file, error); ++i) {
        const std::filesystem::path next = std::filesystem::read_symlink(file, error);
        if (error)
            break;
        file = next.is_absolute() ? next : file.parent_path() / next;
    }
    return file;
}

} // namespace

CSettingsStore::CSettingsStore(std::filesystem::path file, std::filesystem::path carriedOverFrom)
    : m_file(std::move(file))
    , m_carriedOverFrom(std::move(carriedOverFrom))
{
}

std::filesystem::path CSettingsStore::Source(const std::filesystem::path& file) const
{
    std::error_code error;
    return std::filesystem::exists(file, error) ? file : m_carriedOverFrom;
}

int CSettingsStore::ReadSettingInt(std::string_view section, std::string_view key, int defaultValue) const
{
    std::ifstream in(Source(m_file), std::ios::binary);
    CProfileLineReader reader(in);
    bool inSection = false;
    std::string text;
    for (std::string_view ending; reader.Next(text, ending);) {
        if (const auto name = SectionName(text)) {
            if (inSection)
                break;
            inSection = SameName(*name, section);
        } else if (const auto value = inSection ? KeyValue(text, key) : std::nullopt) {
            return value->empty() ? defaultValue : LeadingInteger(*value);
        }
    }
    return defaultValue;
}

bool CSettingsStore::WriteSettingInt(std::string_view section, std::string_view key, int value) const
{
    const std::filesystem::path target = LinkTarget(m_file);
    std::error_code error;
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), error);
    if (std::filesystem::is_directory(target, error))
        return false;
    // Held from the read to the replacement, so a concurrent save cannot slip
    // in between and have its change overwritten.
    const CSaveLock lock(target);
    CReplacementFile replacement(target);
    if (!replacement.IsOpen())
        return false;
    bool rewritten = false;
    {
        // Closed before the replacement: an open file cannot be replaced on Windows.
        std::ifstream in(Source(target), std::ios::binary);
        const auto write = [&replacement](std::string_view bytes) { return replacement.Write(bytes); };
        rewritten = RewriteProfileKey(in, write, section, key, std::to_string(value));
    }
    return rewritten && replacement.Commit();
}
