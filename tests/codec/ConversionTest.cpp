#include "codec/ArrayCodec.h"
#include "ForcedScanPath.h"
#include "textarray/SpeedLayers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

enum class Conversion { BinToText, TextToBin, InvertText };

struct ConversionCase
{
    Conversion conversion;
    std::string source;
    int byteUnit;
    int lineUnit;
    std::string expected;
};

std::string Convert(const CTempDir& dir, Conversion conversion, const std::string& source, int byteUnit, int lineUnit)
{
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("source", source));
    codec.SetDestPath(dir.Path("dest"));
    CConversionResult result;
    switch (conversion) {
    case Conversion::BinToText: result = codec.BinToText(byteUnit, lineUnit); break;
    case Conversion::TextToBin: result = codec.TextToBin(byteUnit, lineUnit); break;
    case Conversion::InvertText: result = codec.InvertText(byteUnit, lineUnit); break;
    }
    EXPECT_EQ(result.outcome, EOutcome::Done) << result.message;
    return CTempDir::Read(dir.Path("dest"));
}

class Conversions : public testing::TestWithParam<ConversionCase>
{};

TEST_P(Conversions, WriteExactlyTheExpectedBytes)
{
    const ConversionCase& c = GetParam();
    CTempDir dir;
    EXPECT_EQ(Convert(dir, c.conversion, c.source, c.byteUnit, c.lineUnit), c.expected);
}

using C = ConversionCase;
constexpr auto kBin = Conversion::BinToText;
constexpr auto kTxt = Conversion::TextToBin;
constexpr auto kInv = Conversion::InvertText;

// Every byte value in decimal, each followed by the separator, from 0 up or
// from 255 down.
std::string EveryByteInDecimal(const char* separator, bool down)
{
    std::string text;
    for (int k = 0; k < 256; ++k)
        text += std::to_string(down ? 255 - k : k) + separator;
    return text;
}

// The text n times over.
std::string Repeated(const std::string& text, int n)
{
    std::string repeated;
    for (int k = 0; k < n; ++k)
        repeated += text;
    return repeated;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(BinToText, Conversions,
    testing::Values(
        C{kBin, "ABC", 1, 10, "0x41,0x42,0x43,"},
        C{kBin, "ABC", 1, 2, "0x41,0x42,\r\n0x43,"},
        C{kBin, "\x01\x02\x03\x04", 2, 1, "0x0201,\r\n0x0403,\r\n"},
        C{kBin, "\x01\x02\x03\x04\x05", 2, 10, "0x0201,0x0403,0x05"},
        C{kBin, "\x05\x06", 4, 10, "0x0605"},
        C{kBin, "", 1, 10, ""},
        C{kBin, "", 9, 1, ""},
        C{kBin, "\x01\x02\x03", 3, 10, "0x030201,"},
        C{kBin, std::string("\x0A\x0D\x1A\x00\xFF", 5), 1, 10, "0x0A,0x0D,0x1A,0x00,0xFF,"},
        C{kBin, "\x01\x02\x03\x04\x05\x06\x07\x08\x09", 9, 10, "0x090807060504030201,"},
        C{kBin, "AB", 1, 1, "0x41,\r\n0x42,\r\n"}));
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(TextToBin, Conversions,
    testing::Values(
        C{kTxt, "0x41,0x42", 1, 10, "AB"},
        C{kTxt, "65, 66", 1, 10, "AB"},
        C{kTxt, "0x1234", 1, 10, "\x34"},
        C{kTxt, "0x1234", 2, 10, "\x34\x12"},
        C{kTxt, "0x1234", 4, 10, std::string("\x34\x12\x00\x00", 4)},
        C{kTxt, "0x1234", 6, 10, std::string("\x34\x12\x00\x00\x00\x00", 6)},
        C{kTxt, "300", 1, 10, "\x2C"},
        C{kTxt, "300", 2, 10, "\x2C\x01"},
        C{kTxt, "0x,", 1, 10, std::string("\x00", 1)},
        C{kTxt, "0x0201,0x0403,0x05", 2, 10, std::string("\x01\x02\x03\x04\x05\x00", 6)},
        C{kTxt, "a[16] = { 0x41 };", 1, 10, "\x10\x41"},
        C{kTxt, "0x41,\x1A" "0x42", 1, 10, "A"},
        C{kTxt, "", 1, 10, ""},
        C{kTxt, "no digits", 1, 10, ""},
        // Decimal numbers are 32-bit: nothing beyond the fourth byte.
        C{kTxt, "4294967297", 9, 10, std::string("\x01\x00\x00\x00\x00\x00\x00\x00\x00", 9)},
        // Hex items keep all nine bytes.
        C{kTxt, "0x0504030201", 5, 10, "\x01\x02\x03\x04\x05"},
        C{kTxt, "0x090807060504030201", 9, 10, "\x01\x02\x03\x04\x05\x06\x07\x08\x09"}));
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(InvertText, Conversions,
    testing::Values(
        C{kInv, "0x5F", 1, 10, "0xA0,"},
        C{kInv, "0x41,0x42", 1, 10, "0xBE,0xBD,"},
        C{kInv, "0x41,0x42", 2, 10, "0xFFBE,0xFFBD,"},
        C{kInv, "0x1234", 1, 10, "0xCB,"},
        C{kInv, "65,66", 1, 10, "190,189,"},
        C{kInv, "65", 2, 10, "65470,"},
        C{kInv, "0", 1, 10, "255,"},
        C{kInv, "0x,", 1, 10, "0xFF,"},
        C{kInv, "0x00,0x01,0x02", 1, 2, "0xFF,0xFE,\r\n0xFD,"},
        C{kInv, "0x41, 65", 1, 10, "0xBE,190,"},
        C{kInv, "0x5", 1, 10, "0xFA,"},
        C{kInv, "0x12345678", 4, 10, "0xEDCBA987,"},
        C{kInv, "305419896", 4, 10, "3989547399,"},
        C{kInv, "65", 9, 10, "4294967230,"},
        C{kInv, "0x1", 1, 1, "0xFE,\r\n"},
        C{kInv, "", 1, 10, ""},
        C{kInv, "0x41,\x1A" "0x42", 1, 10, "0xBE,"},
        // Nine-byte items complement their real upper bytes.
        C{kInv, "0x0504030201", 5, 10, "0xFAFBFCFDFE,"},
        C{kInv, "0x01", 9, 10, "0xFFFFFFFFFFFFFFFFFE,"},
        C{kInv, EveryByteInDecimal(", ", false), 1, 1000, EveryByteInDecimal(",", true)},
        // Long enough for blocks: hex and decimal numbers mixed within them.
        C{kInv, Repeated("0x1243, 66, 0x41, ", 40), 1, 1000, Repeated("0xBC,189,0xBE,", 40)}));
// clang-format on

TEST(BinToText, BreaksTheLineAfterEveryLineUnitthItemOnly)
{
    CTempDir dir;
    const std::string text = Convert(dir, kBin, std::string(1000, 'A'), 1, 200);
    std::string expected;
    for (int item = 1; item <= 1000; ++item)
        expected += item % 200 == 0 ? "0x41,\r\n" : "0x41,";
    EXPECT_EQ(text, expected);
}

// The text array written the slow, obvious way, one item at a time.
std::string ExpectedText(const std::string& bytes, int unit, int lineUnit)
{
    std::string text;
    int items = 0;
    for (std::size_t start = 0; start < bytes.size(); start += unit) {
        const std::size_t count = std::min<std::size_t>(unit, bytes.size() - start);
        text += "0x";
        for (std::size_t k = count; k-- > 0;) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(bytes[start + k]));
            text += pair;
        }
        if (count == static_cast<std::size_t>(unit))
            text += ',';
        if (++items % lineUnit == 0)
            text += "\r\n";
    }
    return text;
}

TEST(BinToText, GroupsAcrossChunkBoundariesComeOutWhole)
{
    // Larger than two chunks, and not a multiple of any byte unit.
    std::mt19937 random(7);
    std::string bytes(200003, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    CTempDir dir;
    for (int unit = 1; unit <= 9; ++unit)
        EXPECT_EQ(Convert(dir, kBin, bytes, unit, 16), ExpectedText(bytes, unit, 16)) << "byte unit " << unit;
    // One-byte items go out in blocks; lines shorter and longer than a block.
    for (int lineUnit : {1, 3, 9, 1000, 100000})
        EXPECT_EQ(Convert(dir, kBin, bytes, 1, lineUnit), ExpectedText(bytes, 1, lineUnit)) << "line unit " << lineUnit;
}

TEST(RoundTrip, TextThenBinaryGivesTheBytesBackPaddedToTheByteUnit)
{
    std::mt19937 random(42);
    CTempDir dir;
    for (int unit = 1; unit <= 9; ++unit) {
        for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{8}, std::size_t{9}, std::size_t{70001}}) {
            std::string bytes(size, '\0');
            for (char& byte : bytes)
                byte = static_cast<char>(random());
            const std::string text = Convert(dir, kBin, bytes, unit, 7);
            std::string expected = bytes;
            expected.resize((size + unit - 1) / unit * unit, '\0');
            EXPECT_EQ(Convert(dir, kTxt, text, unit, 10), expected) << "byte unit " << unit << ", size " << size;
        }
    }
}

TEST(RoundTrip, InvertingTwiceGivesEveryNumberCutToTheByteUnit)
{
    CTempDir dir;
    const std::string once = Convert(dir, kInv, "0x1234, 0x5, 007, 300\n", 1, 3);
    EXPECT_EQ(Convert(dir, kInv, once, 1, 3), "0x34,0x05,7,\r\n44,");
}

struct ScanCase
{
    std::string text;
    int width;
};

class ScanByteUnit : public testing::TestWithParam<ScanCase>
{};

TEST_P(ScanByteUnit, ReturnsTheWidthOfTheWidestNumber)
{
    CTempDir dir;
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("source", GetParam().text));
    const CByteUnitScan scan = codec.ScanByteUnit();
    EXPECT_EQ(scan.outcome, EOutcome::Done) << scan.message;
    EXPECT_EQ(scan.byteUnit, GetParam().width) << "text: " << GetParam().text;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Widths, ScanByteUnit,
    testing::Values(
        ScanCase{"0x41,0x42,", 1},
        ScanCase{"0x41,0x4243", 2},
        ScanCase{"0x0001", 2},
        ScanCase{"0x5,0x123", 2},
        ScanCase{"255,256", 2},
        ScanCase{"65536", 3},
        ScanCase{"16777216", 4},
        ScanCase{"0,000,0x", 0},
        ScanCase{"text without digits", 0},
        ScanCase{"", 0},
        ScanCase{"0x1,0x12345", 3},
        ScanCase{"0x00FF", 2},
        ScanCase{"00255", 1},
        ScanCase{"0x1,\x1A 0x123456", 1},
        ScanCase{"0x" + std::string(19, '1'), 10},
        ScanCase{"4294967296", 0},
        ScanCase{"0x090807060504030201,", 9},
        // The widest number in the part of the text that the helper thread scans.
        ScanCase{Repeated("0x01, ", 1500) + "0x123456, " + Repeated("0x01, ", 500), 3}));
// clang-format on

TEST(ScanByteUnit, MissingSourceGivesZero)
{
    CTempDir dir;
    CArrayCodec codec;
    codec.SetSourcePath(dir.Path("missing.txt"));
    const CByteUnitScan scan = codec.ScanByteUnit();
    EXPECT_EQ(scan.byteUnit, 0);
    EXPECT_EQ(scan.outcome, EOutcome::Failed);
    EXPECT_EQ(scan.failure, EFailure::CannotOpenSource);
    EXPECT_EQ(scan.path, dir.Path("missing.txt"));
    EXPECT_EQ(scan.errorNumber, ENOENT);
    EXPECT_NE(scan.message.find("missing.txt"), std::string::npos);
}

TEST(ScanByteUnit, FindsTheByteUnitThatBinToTextWrote)
{
    CTempDir dir;
    for (int unit = 1; unit <= 9; ++unit) {
        const std::string text = Convert(dir, kBin, std::string(20, '\x7F'), unit, 10);
        CArrayCodec codec;
        codec.SetSourcePath(dir.Write("text", text));
        EXPECT_EQ(codec.ScanByteUnit().byteUnit, unit);
    }
}

} // namespace

namespace {

// No scan path and no speed layer switched off changes a byte of any
// conversion: each gives what the scalar path alone gives.
TEST(SpeedLayers, EveryPathAndCombinationWritesTheSameBytes)
{
    CTempDir dir;
    std::mt19937 random(7);
    std::string binary(20000, '\0');
    std::generate(binary.begin(), binary.end(), [&random] { return static_cast<char>(random()); });
    std::string decimal;
    for (std::size_t k = 0; k < 8000; ++k)
        decimal += std::to_string(static_cast<unsigned char>(binary[k]) * (k % 50 == 0 ? 257 : 1))
            + (k % 16 == 15 ? "\n" : ", ");
    const std::string text
        = Convert(dir, kBin, binary, 1, 10) + " 65, 0X1234, 4294967295 " + Convert(dir, kBin, binary, 3, 7);
    struct Run
    {
        Conversion conversion;
        const std::string& source;
        int byteUnit;
        int lineUnit = 10;
    };
    // Long lines too, whose text a copy takes in several pieces.
    const Run runs[] = {{kBin, binary, 1}, {kBin, binary, 4}, {kTxt, text, 1}, {kTxt, text, 2}, {kInv, text, 1},
        {kInv, text, 3, 100}, {kTxt, decimal, 1}, {kTxt, decimal, 2}, {kInv, decimal, 1}, {kInv, decimal, 2, 100}};
    std::vector<std::string> expected;
    {
        const CForcedScanPath scalar(ScanPath::Scalar);
        UseSpeedLayers({false, false, false, false});
        for (const Run& run : runs)
            expected.push_back(Convert(dir, run.conversion, run.source, run.byteUnit, run.lineUnit));
    }
    for (const ScanPath path : kEveryScanPath) {
        const CForcedScanPath forced(path);
        if (!forced.Available())
            continue;
        // Every combination on the path used by default; on the others, all
        // layers on and all off.
        for (int bits = 0; bits < 16; bits += path == BestScanPath() ? 1 : 15) {
            UseSpeedLayers({(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0});
            for (std::size_t n = 0; n < std::size(runs); ++n)
                EXPECT_EQ(
                    Convert(dir, runs[n].conversion, runs[n].source, runs[n].byteUnit, runs[n].lineUnit), expected[n])
                    << ScanPathName(path) << ", layers " << bits << ", run " << n;
        }
    }
    UseSpeedLayers({});
}

} // namespace
