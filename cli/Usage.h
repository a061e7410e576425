#pragma once

#include <string_view>

// How to call the command line; shown for a bad command line and by the
// main dialog's command help.
inline constexpr std::string_view kUsageText = "Usage  : morvex option source_file destination_file\n"
                                               "\n"
                                               "Option\n"
                                               "\ti : invert hexa code\n"
                                               "\th : convert Binary file to Hexa file\n"
                                               "\tb : convert Hexa file to Binary file\n"
                                               "\n"
                                               "Before c, c1 - c9: --array NAME, -D NAME[=VALUE], -U NAME, --abi ABI\n"
                                               "\n"
                                               "Ex) morvex i srcdata.txt desdata.txt";

// Exit codes of the program.
enum ExitCode : int { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };
