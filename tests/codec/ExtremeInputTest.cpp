#include "codec/ArrayCodec.h"
#include "ReferenceScanner.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>

namespace {

enum class Conversion { BinToText, TextToBin, InvertText };

CConversionResult Run(CArrayCodec& codec, Conversion conversion, int byteUnit)
{
    switch (conversion) {
    case Conversion::BinToText: return codec.BinToText(byteUnit, 10);
    case Conversion::TextToBin: return codec.TextToBin(byteUnit, 10);
    case Conversion::InvertText: return codec.InvertText(byteUnit, 10);
    }
    return {};
}

// Converts the file at source into dir/dest and returns what was written.
std::string ConvertFile(const CTempDir& dir, Conversion conversion, const std::string& source, int byteUnit = 1)
{
    CArrayCodec codec;
    codec.SetSourcePath(source);
    codec.SetDestPath(dir.Path("dest"));
    const CConversionResult result = Run(codec, conversion, byteUnit);
    EXPECT_TRUE(result) << result.message;
    return CTempDir::Read(dir.Path("dest"));
}

int ScanFile(const std::string& source)
{
    CArrayCodec codec;
    codec.SetSourcePath(source);
    return codec.ScanByteUnit().byteUnit;
}

// Writes count copies of fill after prefix, in blocks, without holding the file.
std::string WriteRun(
    const CTempDir& dir, const std::string& name, const std::string& prefix, char fill, std::size_t count)
{
    std::ofstream out(dir.Path(name), std::ios::binary);
    out << prefix;
    const std::string block(1 << 20, fill);
    for (; count >= block.size(); count -= block.size())
        out << block;
    out << block.substr(0, count);
    return dir.Path(name);
}

std::string RandomText(std::mt19937& random, std::size_t size, const std::string& alphabet)
{
    std::string text(size, '\0');
    for (char& byte : text)
        byte = alphabet[random() % alphabet.size()];
    return text;
}

// The low byte of every number that the literal scanner completes, in order.
std::string LowBytesOfCompletedNumbers(const std::string& events)
{
    std::string bytes;
    for (std::size_t at = 0; at < events.size();) {
        const char tag = events[at++];
        std::uint64_t value = 0;
        for (; at < events.size() && events[at] >= '0' && events[at] <= '9'; ++at)
            value = value * 10 + static_cast<std::uint64_t>(events[at] - '0');
        if (tag == 'H' || tag == 'D')
            bytes += static_cast<char>(value & 0xFF);
    }
    return bytes;
}

constexpr std::size_t k100MiB = std::size_t{100} << 20;

TEST(ExtremeInput, AnEmptySourceEmptiesAnExistingDestination)
{
    CTempDir dir;
    const std::string empty = dir.Write("empty", "");
    for (const Conversion conversion : {Conversion::BinToText, Conversion::TextToBin, Conversion::InvertText}) {
        dir.Write("dest", "old content 0x41,");
        EXPECT_EQ(ConvertFile(dir, conversion, empty), "");
    }
    EXPECT_EQ(ScanFile(empty), 0);
}

TEST(ExtremeInput, A100MiBRunOfDigitsIsOneWrappedDecimalNumber)
{
    CTempDir dir;
    const std::string source = WriteRun(dir, "digits", "", '7', k100MiB);
    std::uint32_t value = 0;
    for (std::size_t digit = 0; digit < k100MiB; ++digit)
        value = value * 10 + 7;
    const std::string le = {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
        static_cast<char>(value >> 24)};
    EXPECT_EQ(ConvertFile(dir, Conversion::TextToBin, source, 4), le);
    EXPECT_EQ(ConvertFile(dir, Conversion::InvertText, source, 4), std::to_string(~value) + ",");
    EXPECT_EQ(ScanFile(source), value > 0xFFFFFF ? 4 : value > 0xFFFF ? 3 : value > 0xFF ? 2 : value > 0 ? 1 : 0);
}

TEST(ExtremeInput, A100MiBRunOfHexDigitsKeepsItsLastDigits)
{
    CTempDir dir;
    const std::string source = WriteRun(dir, "hex", "0x", 'e', k100MiB);
    EXPECT_EQ(ConvertFile(dir, Conversion::TextToBin, source, 2), "\xEE\xEE");
    EXPECT_EQ(ConvertFile(dir, Conversion::InvertText, source, 9), "0x111111111111111111,");
    EXPECT_EQ(ScanFile(source), static_cast<int>(k100MiB / 2));
}

TEST(ExtremeInput, A100MiBTextWithoutNumbersWritesNothing)
{
    CTempDir dir;
    const std::string source = WriteRun(dir, "letters", "", 'x', k100MiB);
    EXPECT_EQ(ConvertFile(dir, Conversion::TextToBin, source), "");
    EXPECT_EQ(ConvertFile(dir, Conversion::InvertText, source), "");
    EXPECT_EQ(ScanFile(source), 0);
}

TEST(ExtremeInput, ANumberOfAMillionDigits)
{
    std::mt19937 random(1000000);
    CTempDir dir;
    const std::string digits = RandomText(random, 1000000, "0123456789");
    std::uint32_t value = 0;
    for (const char digit : digits)
        value = value * 10 + static_cast<std::uint32_t>(digit - '0');

    const std::string decimal = dir.Write("decimal", digits + ",");
    EXPECT_EQ(ConvertFile(dir, Conversion::InvertText, decimal, 4), std::to_string(~value) + ",");

    // Hex: only the last digits count, the width counts every digit pair.
    const std::string hex = dir.Write("hex", "0x" + digits + "AB");
    const char lastPair = static_cast<char>((digits[digits.size() - 2] - '0') << 4 | (digits.back() - '0'));
    EXPECT_EQ(ConvertFile(dir, Conversion::TextToBin, hex, 2), std::string({'\xAB', lastPair}));
    EXPECT_EQ(ScanFile(hex), 500001);
}

TEST(ExtremeInput, RandomBytesAreReadAsTheLiteralScannerReadsThem)
{
    std::mt19937 random(31337);
    CTempDir dir;
    for (int round = 0; round < 4; ++round) {
        std::string bytes(1 << 20, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random());
        // Keep an end mark only in the first round, where it ends the input early.
        if (round > 0)
            std::replace(bytes.begin(), bytes.end(), '\x1A', ' ');
        const std::string source = dir.Write("random", bytes);
        const std::string numbers = LowBytesOfCompletedNumbers(ReferenceScan(bytes.substr(0, bytes.find('\x1A'))));
        ASSERT_EQ(ConvertFile(dir, Conversion::TextToBin, source), numbers) << "round " << round;

        // Inverting and reading back gives the complement of every number.
        const std::string inverted = dir.Write("inverted", ConvertFile(dir, Conversion::InvertText, source));
        std::string complement = numbers;
        for (char& byte : complement)
            byte = static_cast<char>(~byte);
        EXPECT_EQ(ConvertFile(dir, Conversion::TextToBin, inverted), complement) << "round " << round;
    }
}

#ifndef _WIN32
// A writer that sends part of a text array into a FIFO and closes it.
TEST(ExtremeInput, AFifoThatClosesEarlyGivesWhatWasWritten)
{
    struct FifoCase
    {
        Conversion conversion;
        std::string written;
        std::string expected;
    };
    const FifoCase cases[] = {
        {Conversion::TextToBin, "0x41,0x4", "\x41\x04"},
        {Conversion::InvertText, "0x41,0x4", "0xBE,0xFB,"},
        {Conversion::BinToText, "AB", "0x41,0x42,"},
        {Conversion::TextToBin, "", ""},
    };
    CTempDir dir;
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const FifoCase& c : cases) {
        std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << c.written; });
        const std::string result = ConvertFile(dir, c.conversion, fifo);
        writer.join();
        EXPECT_EQ(result, c.expected) << "written: " << c.written;
    }
}
#endif

} // namespace
