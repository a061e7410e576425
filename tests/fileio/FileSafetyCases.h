#pragma once

// The tables of the file-safety tests: what every conversion must do with its
// files, over every conversion. FileSafetyTest.cpp holds the tests and the
// rows every system has; FileSafetyPosixTest.cpp adds the rows that only a
// POSIX system has (symbolic links, modes, a source renamed over while open)
// and the full disk of /dev/full.
#include "codec/ArrayCodec.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace filesafety {

inline constexpr const char* kKeep = "keep me: 0x41,0x42,";

// One of the codec's conversions, always at byte unit 1 and line unit 10.
struct CConversion
{
    const char* name;
    CConversionResult (CArrayCodec::*run)(int byteUnit, int lineUnit);
    std::string (*source)(std::size_t size);   // a source it reads whole, of at least size bytes
    std::string sample;                        // a small source
    std::string converted;                     // and what it becomes

    CConversionResult Run(CArrayCodec& codec) const { return (codec.*run)(1, 10); }
};

// Every conversion the codec has.
const std::vector<CConversion>& Conversions();

// What ends a conversion part way through a source of three chunks and a
// bit, and how it is reported: the message's start, and the file it names.
enum class ENamed { None, Source, Dest };

struct CInjectedFailure
{
    const char* name;
    void (*inject)(CArrayCodec& codec);
    EOutcome outcome;
    EFailure failure;
    ENamed named;
    int errorNumber;
    const char* reason;
};

const std::vector<CInjectedFailure>& InjectedFailures();

// The name a destination is given and the file that is written through it.
struct CDestination
{
    std::string given;
    std::string written;
};

// A way a destination can be named; an existing file is given the mode, if
// any, and must keep it.
struct CDestinationKind
{
    const char* name;
    CDestination (*setUp)(const CTempDir& dir);
    std::optional<std::filesystem::perms> mode;
};

// Another name for the file "data.txt" in dir (which has a folder "sub").
struct COtherName
{
    const char* name;
    std::string (*make)(const CTempDir& dir);
};

// A change to the source "source" in dir while it is read.
struct CSourceChange
{
    const char* name;
    void (*change)(const CTempDir& dir, const std::string& source);
};

// A folder of dir and a file name in it, length characters long in all.
std::string PathOfLength(const CTempDir& dir, std::size_t length);

// The test names: the rows' names, joined.
struct CCaseName
{
    template <typename... Row>
    std::string operator()(const testing::TestParamInfo<std::tuple<Row...>>& info) const
    {
        std::string name
            = std::apply([](const auto&... row) { return ((std::string(row.name) + "_") + ...); }, info.param);
        name.pop_back();
        return name;
    }
};

class FileSafetyFailure : public testing::TestWithParam<std::tuple<CConversion, CInjectedFailure, CDestinationKind>>
{};

class FileSafetyDestination : public testing::TestWithParam<std::tuple<CConversion, CDestinationKind>>
{};

class FileSafetySameFile : public testing::TestWithParam<std::tuple<CConversion, COtherName>>
{};

class FileSafetySourceChange : public testing::TestWithParam<std::tuple<CConversion, CSourceChange>>
{};

} // namespace filesafety
