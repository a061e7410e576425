#include "ProfileText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

struct LimitCase
{
    std::size_t size;
    std::size_t limit;
    bool read;
};

class ProfileTextLimit : public testing::TestWithParam<LimitCase>
{};

TEST_P(ProfileTextLimit, ReadsWholeTextsUpToTheLimitOnly)
{
    const std::string text(GetParam().size, ';');
    std::istringstream in(text);
    const auto read = ReadProfileText(in, GetParam().limit);
    ASSERT_EQ(read.has_value(), GetParam().read) << GetParam().size;
    if (read) {
        EXPECT_EQ(*read, text);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sizes, ProfileTextLimit,
    testing::Values(
        LimitCase{0, 0, true},
        LimitCase{1, 0, false},
        LimitCase{100, 100, true},
        LimitCase{101, 100, false},
        LimitCase{8192, 8192, true},
        LimitCase{8193, 8192, false},
        LimitCase{8192, 8191, false},
        LimitCase{10000, 1 << 20, true}));
// clang-format on

// Fails its reads after a number of bytes, as a file buffer does: by throwing.
class CFailingBuffer : public std::streambuf
{
public:
    CFailingBuffer(std::string text, std::size_t goodBytes)
        : m_text(std::move(text))
    {
        setg(m_text.data(), m_text.data(), m_text.data() + goodBytes);
    }

protected:
    int_type underflow() override { throw std::ios_base::failure("read error"); }

private:
    std::string m_text;
};

TEST(ProfileText, AReadErrorReadsNothing)
{
    for (const std::size_t goodBytes : {std::size_t{0}, std::size_t{12}}) {
        CFailingBuffer buffer("[other]\nx=1\n[config]\nByteUnit=1\n", goodBytes);
        std::istream in(&buffer);
        EXPECT_FALSE(ReadProfileText(in, 1 << 20)) << goodBytes;
    }
}

TEST(ProfileText, AStreamThatNeverOpenedReadsNothing)
{
    std::ifstream in("no such folder/no such file.INI", std::ios::binary);
    EXPECT_FALSE(ReadProfileText(in, 1 << 20));
}

// The line end of new lines when the text has none of its own to follow.
struct NewFileEndCase
{
    std::string before;
    std::string after;  // once ByteUnit=3 is set, with CR LF for new files
};

class ProfileTextNewFileEnd : public testing::TestWithParam<NewFileEndCase>
{};

TEST_P(ProfileTextNewFileEnd, IsUsedOnlyWhereTheTextHasNoLineEnd)
{
    EXPECT_EQ(WithProfileValue(GetParam().before, "config", "ByteUnit", "3", "\r\n"), GetParam().after);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, ProfileTextNewFileEnd,
    testing::Values(
        NewFileEndCase{"", "[config]\r\nByteUnit=3\r\n"},
        NewFileEndCase{"\xEF\xBB\xBF", "\xEF\xBB\xBF[config]\r\nByteUnit=3\r\n"},
        NewFileEndCase{"[config]", "[config]\r\nByteUnit=3\r\n"},
        NewFileEndCase{"[config]\nByteUnit=1", "[config]\nByteUnit=3\n"},
        NewFileEndCase{"[other]", "[other]\r\n[config]\r\nByteUnit=3\r\n"},
        NewFileEndCase{"[other]\n", "[other]\n[config]\nByteUnit=3\n"},
        NewFileEndCase{"[other]\rx=1", "[other]\rx=1\r[config]\rByteUnit=3\r"}));
// clang-format on

TEST(ProfileText, FindsTheValueOfTheFirstSectionOfTheNameOnly)
{
    const std::string text = "[config]\nx=1\n[other]\nByteUnit=2\n[CONFIG]\nByteUnit=3\n";
    EXPECT_FALSE(ProfileValue(text, "config", "ByteUnit"));
    EXPECT_EQ(ProfileValue(text, "other", "byteunit"), "2");
    EXPECT_EQ(WithProfileValue(text, "config", "ByteUnit", "4", "\n"),
        "[config]\nx=1\nByteUnit=4\n[other]\nByteUnit=2\n[CONFIG]\nByteUnit=3\n");
}

} // namespace
