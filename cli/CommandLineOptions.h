#pragma once

#include "csource/CSourceOptions.h"

#include <span>
#include <string>
#include <string_view>

// What the options before the conversion option choose.
struct CCommandLineSettings
{
    CSourceOptions cSource;   // its byte unit is the conversion option's, set by the engine
};

// An option given before the conversion option, GNU style: "--name VALUE" or
// "--name=VALUE" for a long one, "-X VALUE" or "-XVALUE" for a short one.
struct CCommandLineOption
{
    std::string_view longName = {};   // "array" for --array; empty for a short option alone
    char shortName = 0;             // 'D' for -D; 0 for a long option alone
    std::string_view valueName;     // the value as the usage and help show it
    bool repeatable = false;        // each time counts, in order; otherwise once at most
    std::string_view conversions;   // the letters of the conversion options it goes with
    std::string_view summary;       // what it does, as the help lists it
    // Takes the value into the settings; returns why it is refused, empty when it is not.
    std::string (*apply)(std::string_view value, CCommandLineSettings& settings);
};

// Every option the command line takes before the conversion option.
std::span<const CCommandLineOption> CommandLineOptions();

// "--array" or "-D", as messages and the help name it.
std::string OptionName(const CCommandLineOption& option);

// The conversion options it goes with, as the help and messages list them: "c, c1 - c9".
std::string ConversionsOf(const CCommandLineOption& option);
