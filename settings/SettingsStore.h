#pragma once

#include <filesystem>
#include <string_view>

// The settings file: a profile text of "[section]" lines followed by
// "key=value" lines. Reads and writes one integer key at a time and leaves
// every other line of the file as it was, its line ends and a leading byte
// order mark included. Section and key names match without regard to ASCII
// case, as profile files always have.
class CSettingsStore
{
public:
    // Until the file exists, its contents are read from carriedOverFrom (an
    // older place of the settings, if any); saves always go to the file.
    explicit CSettingsStore(std::filesystem::path file, std::filesystem::path carriedOverFrom = {});

    // The value of the key, read from its leading blanks, optional sign and
    // decimal digits (no digits read as 0); the default when the file, the
    // section or the key is missing or the value is empty, and when the file
    // cannot be read, is not a regular file (a FIFO or device is never waited
    // on) or is larger than a settings file ever is (1 MiB).
    int ReadSettingInt(std::string_view section, std::string_view key, int defaultValue) const;

    // Stores the value as signed decimal text, creating the file, its folder,
    // the section or the key as needed. False when the file cannot be written.
    // A save puts a whole new file in the file's place in one step under a
    // lock, so concurrent saves lose nothing and readers see the old settings
    // or the new ones; other hard links of the file keep the old ones. A
    // symbolic link is followed and kept, and the file keeps its permissions.
    // A file that cannot be read whole, is too large, is read-only or is not a
    // regular file is never rewritten. A new file ends its lines in CR LF on
    // Windows, in LF elsewhere.
    bool WriteSettingInt(std::string_view section, std::string_view key, int value) const;

private:
    std::filesystem::path m_file;
    std::filesystem::path m_carriedOverFrom;
};
