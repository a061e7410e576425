#include "NumberScanner.h"
#include "RecordingSink.h"
#include "ReferenceScanner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::span<const unsigned char> Bytes(std::string_view text)
{
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

// The codec's reader stops at the first 0x1A before the scanner sees it.
std::string_view UpToEndMark(std::string_view text)
{
    return text.substr(0, text.find('\x1A'));
}

// Scans text split into chunks of the given sizes (the rest in one chunk).
std::string ScanInChunks(std::string_view text, const std::vector<std::size_t>& sizes = {})
{
    text = UpToEndMark(text);
    CRecordingSink sink;
    CNumberScanner<CRecordingSink> scanner(sink);
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
    class CNumberSink : public CScannerSink
    {
    public:
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
    text = UpToEndMark(text);
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

class ScannerNumbers : public testing::TestWithParam<NumbersCase>
{
};

TEST_P(ScannerNumbers, FindsTheNumbersOfTheText)
{
    EXPECT_EQ(Numbers(GetParam().text), GetParam().numbers) << "text: " << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(TextArrayFormat, ScannerNumbers,
    testing::Values(
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
        NumbersCase{"0x4\x1A" "1", "H4"},
        NumbersCase{"", ""},
        NumbersCase{"no digits here", ""}));

TEST(Scanner, ReportsTheSameEventsAsTheLiteralStateTableOnRandomText)
{
    // Text made of the bytes that matter to the scanner, so every transition
    // is hit often, including the fast path and its near misses.
    const std::string alphabet = "0123456789abcdefxXABCDEFg, \r\n\x1A-";
    std::mt19937 random(20261207);
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 40, ' ');
        for (char& byte : text)
            byte = alphabet[random() % alphabet.size()];
        ASSERT_EQ(ScanInChunks(text), ReferenceScan(UpToEndMark(text))) << "text: " << text;
    }
}

TEST(Scanner, ChunkBoundariesAnywhereGiveTheSameEvents)
{
    const std::string text = "0x41,0X4243, 0x, 007,0,12345678901, 0xABCDEF0123456789AB 0x1F";
    const std::string whole = ScanInChunks(text);
    EXPECT_EQ(whole, ReferenceScan(text));
    for (std::size_t split = 0; split <= text.size(); ++split)
        EXPECT_EQ(ScanInChunks(text, {split}), whole) << "split at " << split;
    EXPECT_EQ(ScanInChunks(text, std::vector<std::size_t>(text.size(), 1)), whole);
}

} // namespace
