#pragma once

#include <string>
#include <string_view>

// The arguments that ask for the help and for the version, each alone on the
// command line.
bool AsksForHelp(std::string_view argument);
bool AsksForVersion(std::string_view argument);

// The usage followed by every option the command line takes.
std::string HelpText();

// The program's name, version and licence.
std::string VersionText();
