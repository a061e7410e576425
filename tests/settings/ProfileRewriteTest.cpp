#include "ProfileRewrite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

TEST(ProfileRewrite, StreamsALargeFileInBoundedPieces)
{
    std::string text = "[config]\n";
    for (int i = 0; text.size() < 4u << 20; ++i)
        text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    std::istringstream in(text);
    std::string written;
    std::size_t largestPiece = 0;
    const ProfileSink sink = [&](std::string_view piece) {
        largestPiece = std::max(largestPiece, piece.size());
        written.append(piece);
        return true;
    };
    ASSERT_TRUE(RewriteProfileKey(in, sink, "config", "ByteUnit", "2"));
    EXPECT_EQ(written, text + "ByteUnit=2\n");
    EXPECT_LE(largestPiece, 128u << 10);
}

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

TEST(ProfileRewrite, AReadErrorFailsTheRewrite)
{
    for (const std::size_t goodBytes : {std::size_t{0}, std::size_t{12}}) {
        CFailingBuffer buffer("[other]\nx=1\n[config]\nByteUnit=1\n", goodBytes);
        std::istream in(&buffer);
        const ProfileSink sink = [](std::string_view) { return true; };
        EXPECT_FALSE(RewriteProfileKey(in, sink, "config", "ByteUnit", "2")) << goodBytes;
    }
}

TEST(ProfileRewrite, AFailingSinkFailsTheRewrite)
{
    for (const std::size_t size : {std::size_t{10}, std::size_t{1} << 20}) {
        std::istringstream in("[config]\n" + std::string(size, ';') + "\n");
        int calls = 0;
        const ProfileSink sink = [&](std::string_view) { return ++calls > 1; };
        EXPECT_FALSE(RewriteProfileKey(in, sink, "config", "ByteUnit", "2")) << size;
    }
}

} // namespace
