#pragma once

#include <functional>
#include <istream>
#include <string_view>

// Receives the rewritten text in pieces; false when it could not be stored.
using ProfileSink = std::function<bool(std::string_view)>;

// Copies a profile text with one key set to a new value: the key's line is
// replaced where it stands; else the entry goes after the last non-blank line
// of the section; else the section is added at the end. Every other line, the
// line ends and a byte order mark are copied as they were, and a new line
// ends as the file's first line does. The text streams through, so memory
// stays within one line plus a write buffer. False when the sink failed or
// the text could not be read to its end.
bool RewriteProfileKey(std::istream& in, const ProfileSink& out, std::string_view section, std::string_view key,
    std::string_view value);
