#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

// A profile text held whole: "[section]" lines, each followed by its
// "key=value" lines. Lines may end in LF, CR LF or a lone CR, mixed as they
// come; a UTF-8 byte order mark may lead. Section and key names match without
// regard to ASCII case, as profile files always have; only the first section
// of a name and the first line of a key in it count.

// The whole stream; nothing when it holds more than limit bytes or a read fails.
std::optional<std::string> ReadProfileText(std::istream& in, std::size_t limit);

// The value of the key in the section, blanks around it removed.
std::optional<std::string_view> ProfileValue(std::string_view text, std::string_view section, std::string_view key);

// The text with the key set to the value: its line is replaced where it
// stands; else the entry goes after the last non-blank line of the section;
// else the section is added at the end. Every other line, the line ends and a
// byte order mark stay as they were. New lines end as the first line does, or
// with newFileEnd when no line has an end yet.
std::string WithProfileValue(std::string_view text, std::string_view section, std::string_view key,
    std::string_view value, std::string_view newFileEnd);
