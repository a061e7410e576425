#include "SettingsStore.h"

#include "DestinationFile.h"
#include "FilePlatform.h"
#include "ProfileLineReader.h"
#include "ProfileRewrite.h"
#include "ProfileSyntax.h"
#include "SaveLock.h"
#include "Utf8Path.h"

#include <fstream>
#include <string>

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
    // A linked file gets its target rewritten and keeps the link.
    std::string linkTarget;
    int loop = 0;
    if (!FilePlatform::FollowLinks(Utf8FromPath(m_file), linkTarget, loop))
        return false;
    const std::filesystem::path target = PathFromUtf8(linkTarget);
    std::error_code error;
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), error);
    if (std::filesystem::is_directory(target, error))
        return false;
    // Held from the read to the replacement, so a concurrent save cannot slip
    // in between and have its change overwritten.
    const CSaveLock lock(target);
    CDestinationFile replacement;
    if (!replacement.Open(Utf8FromPath(target)))
        return false;
    bool rewritten = false;
    {
        // Closed before the replacement: an open file cannot be replaced on Windows.
        std::ifstream in(Source(target), std::ios::binary);
        const auto write = [&replacement](std::string_view bytes) {
            return replacement.Write(bytes.data(), bytes.size()) == 0;
        };
        rewritten = RewriteProfileKey(in, write, section, key, std::to_string(value));
    }
    return rewritten && replacement.Commit();
}
