#pragma once

#include <string>
#include <string_view>

// A file name or argument quoted for a one-line message: 'name' as it is,
// or, when it holds control characters or bytes that are not UTF-8, the
// shell's $'...' form with those escaped ($'miss\ning.bin'), so that every
// message stays one line and the name can be pasted back into a shell.
std::string QuotedName(std::string_view name);

// A file's name for a message: QuotedName, but standard input, which the
// command line names "-", is "'-' (standard input)".
std::string QuotedFileName(std::string_view path);
