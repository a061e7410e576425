#include "CompletedSink.h"
#include "ForcedScanPath.h"
#include "ItemText.h"
#include "SplitScanner.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

// The numbers of the text in chunks of the given sizes (the rest in one),
// with a scanner of the given type.
template <class Scanner, class... SplitSize>
std::string ScanInChunks(std::string_view text, const std::vector<std::size_t>& sizes, SplitSize... minSplit)
{
    text = text.substr(0, text.find('\x1A'));
    CCompletedSink sink;
    Scanner scanner(sink, minSplit...);
    const auto feed = [&](std::size_t size) {
        scanner.Feed(std::span(reinterpret_cast<const unsigned char*>(text.data()), size));
        text.remove_prefix(size);
    };
    for (std::size_t size : sizes)
        feed(std::min(size, text.size()));
    feed(text.size());
    scanner.Finish();
    return sink.numbers;
}

std::string Serial(std::string_view text, const std::vector<std::size_t>& sizes = {})
{
    return ScanInChunks<CNumberScanner<CCompletedSink>>(text, sizes);
}

// Every chunk, however small, split between the two threads.
std::string Split(std::string_view text, const std::vector<std::size_t>& sizes = {})
{
    return ScanInChunks<CSplitScanner<CCompletedSink>>(text, sizes, std::size_t{1});
}

class SplitScanner : public testing::TestWithParam<ScanPath>
{
protected:
    void SetUp() override { SKIP_IF_PATH_MISSING(m_forced); }

private:
    CForcedScanPath m_forced{GetParam()};
};

TEST_P(SplitScanner, FindsTheSameNumbersAsOneThread)
{
    const std::string alphabet = "0123456789abcdefxXABCDEFg, \r\n-";
    std::mt19937 random(11);
    for (int round = 0; round < 400; ++round) {
        std::string text = RandomItemText(random, random() % 200);
        for (int k = random() % 30; k > 0; --k)
            text.insert(random() % (text.size() + 1), 1, alphabet[random() % alphabet.size()]);
        const std::vector<std::size_t> chunks = {random() % 300, random() % 300};
        ASSERT_EQ(Split(text, chunks), Serial(text)) << "text: " << text << "\nchunks: " << chunks[0] << ", " << chunks[1];
    }
}

TEST_P(SplitScanner, NumbersCutByTheHalvesOrTheChunksStayWhole)
{
    // Texts whose middle or end falls inside a number, or that hold no byte
    // where a split may fall.
    const std::vector<std::string> texts = {"0x41,0x4243", "0x414243", "1234,5678", "12345678", "0x", "0,0x",
        "0x41,0x42,0x43,0", "0X1f 0x1F 0x1f", ",,,,", "0x41,0x42,0x43,0x44,0x45,0x46,0x47,0x48,0x49,0x4A,0x"};
    for (const std::string& text : texts)
        for (std::size_t split = 0; split <= text.size(); ++split)
            EXPECT_EQ(Split(text, {split}), Serial(text)) << "text: " << text << ", chunk of " << split;
}

TEST_P(SplitScanner, TextFullOfOtherNumbersKeepsItsOrder)
{
    // More numbers of other shapes than the other thread keeps, so that it
    // stops early and this one reads the rest.
    std::string text;
    for (int k = 0; k < 300000; ++k)
        text += k % 7 == 0 ? "0x5C," : std::to_string(k % 1000) + ",";
    EXPECT_EQ(Split(text), Serial(text));
    EXPECT_EQ(ScanInChunks<CSplitScanner<CCompletedSink>>(text, {1 << 20, 1 << 20}), Serial(text));
}

INSTANTIATE_TEST_SUITE_P(EveryPath, SplitScanner, kEveryScanPath,
    [](const testing::TestParamInfo<ScanPath>& info) { return ScanPathName(info.param); });

} // namespace
