#pragma once

#include <filesystem>
#include <string_view>

// The settings file: a profile text of "[section]" lines followed by
// "key=value" lines. Reads and writes one integer key at a time and leaves
// every other line of the file as it was. Section and key names match
// without regard to ASCII case, as profile files always have.
class CSettingsStore
{
public:
    explicit CSettingsStore(std::filesystem::path file);

    // The value of the key, read from its leading blanks, optional sign and
    // decimal digits (no digits read as 0); the default when the file, the
    // section or the key is missing or the value is empty.
    int ReadSettingInt(std::string_view section, std::string_view key, int defaultValue) const;

    // Stores the value as signed decimal text, creating the file, its folder,
    // the section or the key as needed. False when the file cannot be written.
    bool WriteSettingInt(std::string_view section, std::string_view key, int value) const;

    const std::filesystem::path& File() const { return m_file; }

private:
    std::filesystem::path m_file;
};
