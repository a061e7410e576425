#include "ForcedScanPath.h"
#include "TempDir.h"
#include "TextArrayWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// The text of one-byte items as the format defines it, item by item.
std::string ExpectedText(const std::vector<unsigned char>& bytes, int lineUnit, unsigned char flip)
{
    std::string text;
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        char item[8];
        std::snprintf(item, sizeof item, "0x%02X,", bytes[k] ^ flip);
        text += item;
        if ((k + 1) % static_cast<std::size_t>(lineUnit) == 0)
            text += "\r\n";
    }
    return text;
}

// The writer's text for the bytes, handed over in pieces of the given size.
std::string WrittenText(const CTempDir& dir, const std::vector<unsigned char>& bytes, int lineUnit, std::size_t piece,
    unsigned char flip)
{
    CByteWriter out;
    EXPECT_TRUE(out.Open(dir.Path("text")));
    CTextArrayWriter text(out, lineUnit);
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        text.WriteByteItems(bytes.data() + at, std::min(piece, bytes.size() - at), flip);
    EXPECT_TRUE(out.Close());
    return CTempDir::Read(dir.Path("text"));
}

class ByteItemWriter : public testing::TestWithParam<ScanPath>
{
protected:
    void SetUp() override { SKIP_IF_PATH_MISSING(m_forced); }

private:
    CForcedScanPath m_forced{GetParam()};
};

TEST_P(ByteItemWriter, WritesEveryItemAndLineBreakWhateverTheRunsAndPieces)
{
    // Line units below, at and above the sixteen items a vector holds and the
    // 25 of the longest line a step writes whole; pieces that end inside a
    // line, and texts too short for a vector or longer than a step's 64 bytes.
    const CTempDir dir;
    std::mt19937 random(5);
    for (int lineUnit : {1, 3, 10, 15, 16, 17, 25, 26, 40, 1000}) {
        for (std::size_t size : {0, 1, 15, 16, 17, 64, 65, 100, 3000}) {
            std::vector<unsigned char> bytes(size);
            for (unsigned char& byte : bytes)
                byte = static_cast<unsigned char>(random());
            for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{64}, size + 1})
                for (unsigned char flip : {0x00, 0xFF})
                    ASSERT_EQ(WrittenText(dir, bytes, lineUnit, piece, flip), ExpectedText(bytes, lineUnit, flip))
                        << "line unit " << lineUnit << ", " << size << " bytes in pieces of " << piece << ", flip " << int(flip);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, ByteItemWriter, kEveryPathParam,
    [](const testing::TestParamInfo<ScanPath>& info) { return ScanPathName(info.param); });

} // namespace
