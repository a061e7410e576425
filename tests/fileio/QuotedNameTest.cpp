#include "fileio/QuotedName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(QuotedName, EscapesWhatWouldBreakTheLineOrTheTerminal)
{
    struct Case
    {
        std::string name;
        std::string quoted;
    };
    const Case cases[] = {
        {"plain.bin", "'plain.bin'"}, {"", "''"}, {"with space's.bin", "'with space's.bin'"},
        {"원본.bin", "'원본.bin'"}, {"miss\ning.bin", "$'miss\\ning.bin'"}, {"tab\there", "$'tab\\there'"},
        {"esc\x1b[31mred", "$'esc\\E[31mred'"}, {"cr\rdel\x7f", "$'cr\\rdel\\x7F'"},
        {"bad\xff"
         "byte",
            "$'bad\\xFFbyte'"},
        {"cut\xec\x9b", "$'cut\\xEC\\x9B'"},             // a Hangul syllable missing its last byte
        {"overlong\xc0\xaf", "$'overlong\\xC0\\xAF'"}, {"surrogate\xed\xa0\x80", "$'surrogate\\xED\\xA0\\x80'"},
        {"원\n'q'\\", "$'원\\n\\'q\\'\\\\'"},          // quotes and backslashes escaped once escaping starts
    };
    for (const Case& c : cases)
        EXPECT_EQ(QuotedName(c.name), c.quoted) << c.name;
}

} // namespace
