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
