#include "ForcedScanPath.h"
#include "textarray/ConversionSinks.h"
#include "textarray/NumberScanner.h"
#include "RecordingSink.h"
#include "ReferenceScanner.h"
#include "textarray/SplitScanner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::span<const unsigned char> Bytes(std::string_view text)
{
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

// Scans text split into chunks of the given sizes (the rest in one chunk).
template <class Sink = CRecordingSink>
std::string ScanInChunks(std::string_view text, const std::vector<std::size_t>& sizes = {}, Sink sink = {})
{
    CNumberScanner<Sink> scanner(sink);
    for (std::size_t size : sizes) {
        size = std::min(size, text.size());
        scanner.Feed(Bytes(text.substr(0, size)));
        text.remove_prefix(size);
    }
    scanner.Feed(Bytes(text));
    scanner.Finish();
    return sink.events;
}

// Just the completed numbers, as "H<low>" / "D<value>" separated by blanks.
std::string Numbers(std::string_view text)
{
    class CNumberSink
    {
    public:
        void OnByteItems(const unsigned char* values, std::size_t count) { CompleteEach(*this, values, count); }
        void OnNumberCompleted(const CScannedNumber& number)
        {
            if (!list.empty())
                list += ' ';
            AppendEvent(list, number.kind == CScannedNumber::Kind::Hex ? 'H' : 'D', number.low);
            if (number.high != 0)
                AppendEvent(list, '+', number.high);
        }
        std::string list;
    } sink;
    CNumberScanner<CNumberSink> scanner(sink);
    scanner.Feed(Bytes(text));
    scanner.Finish();
    return sink.list;
}

struct NumbersCase
{
    std::string text;
    std::string numbers;
};

class ScannerNumbers : public testing::TestWithParam<std::tuple<ScanPath, NumbersCase>>
{};

// Ahead of the case, a run of items long enough for the block paths, so that
// the case meets them in their blocks as well as at the end of the text.
const std::string kLeadingItems = [] {
    std::string items;
    for (int k = 0; k < 40; ++k)
        items += "0x5A,";
    return items;
}();
std::string AfterLeadingNumbers(const std::string& numbers)
{
    std::string all = "H90";
    for (int k = 1; k < 40; ++k)
        all += " H90";
    return numbers.empty() ? all : all + " " + numbers;
}

TEST_P(ScannerNumbers, FindsTheNumbersOfTheText)
{
    const auto& [path, test] = GetParam();
    const CForcedScanPath forced(path);
    SKIP_IF_PATH_MISSING(forced);
    EXPECT_EQ(Numbers(test.text), test.numbers) << "text: " << test.text;
    // The separator keeps the case's first number apart from the items.
    EXPECT_EQ(Numbers(kLeadingItems + "," + test.text + std::string(200, ' ')), AfterLeadingNumbers(test.numbers))
        << "text: " << test.text;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TextArrayFormat, ScannerNumbers,
    testing::Combine(kEveryPathParam, testing::Values(
        NumbersCase{"0x41,0x42", "H65 H66"},
        NumbersCase{"65, 66", "D65 D66"},
        NumbersCase{"0x41,0x4243", "H65 H16963"},
        NumbersCase{"...,0x43", "H67"},
        NumbersCase{"0", "D0"},
        NumbersCase{"0x", "H0"},
        NumbersCase{"0x,", "H0"},
        NumbersCase{"0X1f 0x1F 0x1f", "H31 H31 H31"},
        NumbersCase{"0x5 0x05", "H5 H5"},
        NumbersCase{"007", "D7"},
        NumbersCase{"0,", "D0"},
        NumbersCase{"012", "D12"},
        NumbersCase{"10x5", "D10 D5"},
        NumbersCase{"0x1g2", "H1 D2"},
        NumbersCase{"-5", "D5"},
        NumbersCase{"a[16] = { 0x41 };", "D16 H65"},
        NumbersCase{"abc0x12", "H18"},
        NumbersCase{"4294967295 4294967296 4294967297", "D4294967295 D0 D1"},
        NumbersCase{"0x123456789", "H4886718345"},
        // Hex keeps the last 18 digits, enough for nine-byte items.
        NumbersCase{"0x0102030405060708090A", "H217304205466536202+2"},
        NumbersCase{"0xFFFFFFFFFFFFFFFFFFFF", "H18446744073709551615+255"},
        NumbersCase{"0x41\r\n0x42", "H65 H66"},
        NumbersCase{"0x41\x80\xFF" "0x42", "H65 H66"},
        NumbersCase{"0x41,\x1A" "0x42", "H65"},
        // Numbers of other shapes, which blocks of numbers take whole or leave
        // to the general steps.
        NumbersCase{"1234567890123456,12345678901234567", "D1015724736 D1567312775"},
        NumbersCase{"0x0123456789abcdef 0X00000000000000001", "H81985529216486895 H1"},
        NumbersCase{"0xFEDCBA9876543210F", "H17134975606245761295+15"},
        NumbersCase{"12ab34 x12 0x12x5 ab 0xab", "D12 D34 D12 H18 D5 H171"},
        NumbersCase{"  0 255  12\n 100", "D0 D255 D12 D100"},
        NumbersCase{"0x4\x1A" "1", "H4"},
        NumbersCase{"", ""},
        NumbersCase{"no digits here", ""})),
    [](const auto& test) { return ScanPathName(std::get<0>(test.param)) + "_" + std::to_string(test.index); });
// clang-format on

class ScannerPaths : public testing::TestWithParam<ScanPath>
{
protected:
    void SetUp() override { SKIP_IF_PATH_MISSING(m_forced); }

private:
    CForcedScanPath m_forced{GetParam()};
};

TEST_P(ScannerPaths, ReportsTheSameNumbersAsTheLiteralStateTableOnRandomText)
{
    // Text made of the bytes that matter to the scanner, so every transition
    // is hit often, including the fast path and its near misses.
    const std::string alphabet = "0123456789abcdefxXABCDEFg, \r\n\x1A-";
    std::mt19937 random(20261207);
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 40, ' ');
        for (char& byte : text)
            byte = alphabet[random() % alphabet.size()];
        ASSERT_EQ(ScanInChunks(text), ReferenceScan(text)) << "text: " << text;
    }
}

// Long runs of one-byte items, as the writers make them, broken by every
// other shape a number can take, so that blocks meet each of them anywhere.
std::string RandomItemText(std::mt19937& random, std::size_t items)
{
    static const char* const kOddPieces[] = {"0x4", "0x123", "0x", "0X", "255", "0", "007", "0x10x12", "0x1G", "0xAg",
        "x", "\x80", "\r\n", " ", "\x1A", "0xab", "12345678901"};
    std::string text;
    for (std::size_t k = 0; k < items; ++k) {
        if (random() % 40 == 0) {
            text += kOddPieces[random() % std::size(kOddPieces)];
        } else {
            text += random() % 2 ? "0x" : "0X";
            text += "0123456789ABCDEFabcdef"[random() % 22];
            text += "0123456789ABCDEFabcdef"[random() % 22];
        }
        text += ",  ,;x\r"[random() % 8];
        if (random() % 10 == 0)
            text += "\r\n";
    }
    return text;
}

TEST_P(ScannerPaths, ReportsTheSameNumbersAsTheLiteralStateTableOnLongItemRuns)
{
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const std::string text = RandomItemText(random, random() % 300);
        const std::vector<std::size_t> chunks = {random() % 200, random() % 200};
        ASSERT_EQ(ScanInChunks(text, chunks), ReferenceScan(text))
            << "text: " << text << "\nchunks: " << chunks[0] << ", " << chunks[1];
    }
}

// The numbers of the text scanned on two threads, fed in chunks of the size.
template <class Sink = CRecordingSink>
std::string SplitScanInChunks(std::string_view text, std::size_t chunkSize, Sink sink = {})
{
    CSplitScanner<Sink> scanner(sink);
    for (; !text.empty(); text.remove_prefix(std::min(chunkSize, text.size())))
        scanner.Feed(Bytes(text.substr(0, chunkSize)));
    scanner.Finish();
    return sink.events;
}

// Numbers of every common shape (decimal, hex of any width and case) with
// every kind of separator, broken by pieces that blocks of numbers leave to
// the general steps.
std::string RandomNumberText(std::mt19937& random, std::size_t numbers)
{
    static const char* const kSeparators[] = {", ", ",", " ", "  ", "\n", ",\r\n", "\t", "; ", " data ", " x ", "-"};
    static const char* const kOddPieces[] = {"12ab", "x12", "0x12x5", "0x", "0xg", "\x1A", "abcdefabcdefabcdefabc",
        "12345678901234567890", "0x123456789012345678"};
    std::string text;
    for (std::size_t k = 0; k < numbers; ++k) {
        if (random() % 60 == 0) {
            text += kOddPieces[random() % std::size(kOddPieces)];
        } else if (random() % 2) {
            text += std::to_string(random() % (random() % 2 ? 256 : 4294967296));
        } else {
            text += random() % 2 ? "0x" : "0X";
            for (std::size_t digit = 1 + random() % 16; digit > 0; --digit)
                text += "0123456789ABCDEFabcdef"[random() % 22];
        }
        text += kSeparators[random() % std::size(kSeparators)];
    }
    return text;
}

// Short numbers as od, scripts and the wide writers print them, decimal or
// hex of up to maxHexDigits (none: decimal), which blocks take many at a
// time, broken now and then by what they must leave alone.
std::string RandomShortNumberText(std::mt19937& random, std::size_t numbers, std::size_t maxHexDigits)
{
    static const char* const kSeparators[] = {" ", "  ", "   ", ", ", ",", "\n", " \n", ",\r\n"};
    static const char* const kOddPieces[] = {"12345", "12a", "7x", "x", "\x1A", "0x1F", "007", "0000", "99999999", "a",
        "0x", "0x123456789", "0x12345678901234567", "0x12x", "0X1g", "12", "0x0x1"};
    std::string text;
    for (std::size_t k = 0; k < numbers; ++k) {
        if (random() % 80 == 0) {
            text += kOddPieces[random() % std::size(kOddPieces)];
        } else if (maxHexDigits > 0) {
            text += random() % 4 ? "0x" : "0X";
            for (std::size_t digit = 1 + random() % maxHexDigits; digit > 0; --digit)
                text += "0123456789ABCDEFabcdef"[random() % 22];
        } else {
            text += std::to_string(random() % (random() % 4 ? 256 : 10000));
        }
        text += kSeparators[random() % std::size(kSeparators)];
    }
    return text;
}

TEST_P(ScannerPaths, ReportsTheSameNumbersAsTheLiteralStateTableOnNumbersOfEveryShape)
{
    std::mt19937 random(14);
    for (int round = 0; round < 600; ++round) {
        const std::size_t maxHexDigits[] = {0, 4, 8, 16};
        const std::string text = round % 5 == 0
            ? RandomNumberText(random, random() % 400)
            : RandomShortNumberText(random, random() % 800, maxHexDigits[round % 5 - 1]);
        const std::vector<std::size_t> chunks = {random() % 300, random() % 300};
        ASSERT_EQ(ScanInChunks(text, chunks), ReferenceScan(text))
            << "text: " << text << "\nchunks: " << chunks[0] << ", " << chunks[1];
        ASSERT_EQ(SplitScanInChunks(text, 1 + random() % 600), ReferenceScan(text)) << "text: " << text;
    }
}

TEST_P(ScannerPaths, SinksOfOneByteUnitsGetTheLowBytesOfNumbersOfEveryShape)
{
    if (GetParam() == ScanPath::Scalar)
        GTEST_SKIP() << "the scalar path reads no blocks";
    const auto lowBytes = [](const std::string& text, const std::vector<std::size_t>& chunks, bool taken) {
        return ScanInChunks(text, chunks, CLowByteSink(taken));
    };
    std::mt19937 random(17);
    for (int round = 0; round < 300; ++round) {
        const std::size_t maxHexDigits[] = {0, 2, 4, 8, 16};
        const std::string text = round % 6 == 0
            ? RandomNumberText(random, random() % 400)
            : RandomShortNumberText(random, random() % 800, maxHexDigits[round % 6 - 1]);
        const std::vector<std::size_t> chunks = {random() % 300, random() % 300};
        const std::string expected = lowBytes(text, chunks, false);
        ASSERT_EQ(lowBytes(text, chunks, true), expected)
            << "text: " << text << "\nchunks: " << chunks[0] << ", " << chunks[1];
        ASSERT_EQ(SplitScanInChunks(text, 1 + random() % 600, CLowByteSink(true)), expected) << "text: " << text;
    }
    // Any byte anywhere in the h4 writer's form and in od's decimal one, and
    // near the blocks' ends.
    std::string hexForm;
    std::string decimalForm;
    for (int k = 0; k < 30; ++k) {
        hexForm += k % 10 == 9 ? "0x0123ABCD,\r\n" : "0x89ABcdef,";
        decimalForm += k % 10 == 9 ? " 255\n" : "   7 1000";
    }
    for (const std::string& form : {hexForm, decimalForm}) {
        for (const char byte : std::string("01Fafx,G\x1A\xFF")) {
            for (std::size_t at = 0; at < form.size(); ++at) {
                const std::string text = form.substr(0, at) + byte + form.substr(at + 1);
                const std::vector<std::size_t> chunks = {at % 7, 0};
                ASSERT_EQ(lowBytes(text, chunks, true), lowBytes(text, chunks, false))
                    << "byte " << int(byte) << " at " << at << " of " << form;
            }
        }
    }
}

TEST_P(ScannerPaths, AnyByteAnywhereInTheWritersFormGivesTheSameNumbers)
{
    std::string form;
    for (int k = 0; k < 60; ++k)
        form += k % 10 == 9 ? "0xC3,\r\n" : "0x7E,";
    for (const char byte : std::string("01Fafx,G\x1A\xFF")) {
        for (std::size_t at = 0; at < form.size(); ++at) {
            std::string text = form;
            text[at] = byte;
            ASSERT_EQ(ScanInChunks(text), ReferenceScan(text)) << "byte " << int(byte) << " at " << at;
        }
    }
}

TEST_P(ScannerPaths, ChunkBoundariesAnywhereGiveTheSameEvents)
{
    std::string text = "0x41,0X4243, 0x, 007,0,12345678901, 0xABCDEF0123456789AB 0x1F";
    for (int k = 0; k < 50; ++k)
        text += "0x" + std::to_string(k % 10) + "f,";
    text += "0x10x12, 0x2";
    const std::string whole = ScanInChunks(text);
    EXPECT_EQ(whole, ReferenceScan(text));
    for (std::size_t split = 0; split <= text.size(); ++split)
        EXPECT_EQ(ScanInChunks(text, {split}), whole) << "split at " << split;
    EXPECT_EQ(ScanInChunks(text, std::vector<std::size_t>(text.size(), 1)), whole);
}

TEST_P(ScannerPaths, ScanningOnTwoThreadsGivesTheNumbersOfOneScanner)
{
    std::mt19937 random(12);
    std::vector<std::string> texts;
    for (int round = 0; round < 20; ++round)
        texts.push_back(RandomItemText(random, random() % 2000));
    // Numbers longer than what a chunk may carry over, across chunk ends.
    texts.push_back("0x" + std::string(3000, 'F') + ",12," + std::string(5000, '7') + " 0x41,0");
    // So many short numbers that the helper's log fills before its part ends.
    std::string shortNumbers;
    for (int k = 0; k < 60000; ++k)
        shortNumbers += k % 3 ? "1," : "0x5,";
    texts.push_back(shortNumbers);
    // The end mark in either thread's part: nothing after it counts.
    std::string items;
    for (int k = 0; k < 3000; ++k)
        items += "0x41,";
    texts.push_back(items + "0x4\x1A" + items);
    texts.push_back(items + items + "0x42,\x1A" + items);
    // No byte anywhere after which the scanner is idle.
    texts.push_back(std::string(4000, 'x') + "0x" + std::string(4000, 'a'));

    for (const std::string& text : texts) {
        const std::string expected = ReferenceScan(text);
        for (const std::size_t chunkSize : {std::size_t{64}, std::size_t{333}, std::size_t{4096}, text.size() + 1})
            ASSERT_EQ(SplitScanInChunks(text, chunkSize), expected)
                << "chunks of " << chunkSize << ", text: " << text.substr(0, 200);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, ScannerPaths, kEveryPathParam,
    [](const testing::TestParamInfo<ScanPath>& test) { return ScanPathName(test.param); });

} // namespace
