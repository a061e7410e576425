#include "textarray/SpeedLayers.h"
#include "TempDir.h"
#include "textarray/TextArrayWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// How one-byte items are written: "0xHH", decimal, or the two taking turns
// piece by piece, as inverting text of both kinds does.
enum class Form { Hex, Decimal, Alternating };

bool DecimalPiece(Form form, std::size_t piece)
{
    return form == Form::Decimal || (form == Form::Alternating && piece % 2 == 1);
}

// The text of items of unit bytes as the format defines it, item by item
// and digit by digit: each group one little-endian number, or a byte's
// decimal value.
std::string ExpectedText(
    const std::vector<unsigned char>& bytes, int unit, int lineUnit, std::size_t piece, unsigned char flip, Form form)
{
    const auto width = static_cast<std::size_t>(unit);
    std::string text;
    for (std::size_t k = 0; k < bytes.size() / width; ++k) {
        if (DecimalPiece(form, k / piece)) {
            text += std::to_string(bytes[k] ^ flip);
        } else {
            text += "0x";
            for (std::size_t b = width; b-- > 0;) {
                char pair[3];
                std::snprintf(pair, sizeof pair, "%02X", bytes[k * width + b] ^ flip);
                text += pair;
            }
        }
        text += ',';
        if ((k + 1) % static_cast<std::size_t>(lineUnit) == 0)
            text += "\r\n";
    }
    return text;
}

// One case of the table: its bytes handed to a writer of its own in pieces
// of the given count of groups.
struct CCase
{
    std::vector<unsigned char> bytes;
    int unit;
    int lineUnit;
    std::size_t piece;
    unsigned char flip;
    Form form;
};

void WriteCase(CByteWriter& out, const CCase& c)
{
    CTextArrayWriter text(out, c.lineUnit);
    const auto width = static_cast<std::size_t>(c.unit);
    const std::size_t groups = c.bytes.size() / width;
    for (std::size_t at = 0; at < groups; at += c.piece) {
        const std::size_t count = std::min(c.piece, groups - at);
        if (c.unit != 1)
            text.WriteWideItems(c.bytes.data() + at * width, count, *CByteUnit::From(c.unit));
        else if (DecimalPiece(c.form, at / c.piece))
            text.WriteDecimalComplements(c.bytes.data() + at, count);
        else
            text.WriteByteItems(c.bytes.data() + at, count, c.flip);
    }
}

// Items written word by word, and in the processor's vector steps where it
// has them.
class ByteItemWriter : public testing::TestWithParam<bool>
{
protected:
    void SetUp() override { UseSpeedLayers({.vectorFormatters = GetParam()}); }
    void TearDown() override { UseSpeedLayers({}); }
};

TEST_P(ByteItemWriter, WritesEveryItemAndLineBreakWhateverTheRunsAndPieces)
{
    // Line units below, at and above the sixteen items a vector holds and the
    // 38 of the longest line a step writes whole; pieces that end inside a
    // line, and texts too short for a vector or longer than a step's 64 bytes.
    // Wider units have steps of their own: whole lines where a step holds
    // one (up to 27 items of two bytes, seven of nine), else runs of items
    // (ten of up to five bytes), and no flip. One-byte items may be decimal, alone or
    // taking turns with hex ones on the same lines.
    const std::set<int> decimalLineUnits = {1, 3, 10, 1000};
    std::mt19937 random(5);
    std::vector<CCase> cases;
    for (int unit : {1, 2, 3, 5, 9}) {
        const std::vector<unsigned char> flips
            = unit == 1 ? std::vector<unsigned char>{0x00, 0xFF} : std::vector<unsigned char>{0x00};
        const std::vector<Form> forms
            = unit == 1 ? std::vector<Form>{Form::Hex, Form::Decimal, Form::Alternating} : std::vector<Form>{Form::Hex};
        const std::vector<int> lineUnits = unit == 1 ? std::vector<int>{1, 3, 10, 15, 16, 17, 25, 38, 39, 1000}
                                                     : std::vector<int>{1, 3, 8, 10, 16, 17, 27, 28, 1000};
        for (int lineUnit : lineUnits) {
            for (std::size_t groups : {0, 1, 15, 16, 17, 64, 65, 100, 3000}) {
                std::vector<unsigned char> bytes(groups * static_cast<std::size_t>(unit));
                for (unsigned char& byte : bytes)
                    byte = static_cast<unsigned char>(random());
                for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{64}, groups + 1})
                    for (unsigned char flip : flips)
                        for (Form form : forms) {
                            // Decimal items are only ever complements, and
                            // have no vector steps for the other line units
                            // to probe.
                            if (form != Form::Hex && (flip != 0xFF || !decimalLineUnits.contains(lineUnit)))
                                continue;
                            cases.push_back({bytes, unit, lineUnit, piece, flip, form});
                        }
            }
        }
    }

    // All cases end to end in one file, each from a line's start: a file
    // each is slow under wine.
    const CTempDir dir;
    CByteWriter out;
    ASSERT_TRUE(out.Open(dir.Path("text")));
    for (const CCase& c : cases)
        WriteCase(out, c);
    ASSERT_TRUE(out.Close());
    const std::string written = CTempDir::Read(dir.Path("text"));

    std::size_t at = 0;
    for (const CCase& c : cases) {
        const std::string expected = ExpectedText(c.bytes, c.unit, c.lineUnit, c.piece, c.flip, c.form);
        ASSERT_EQ(written.substr(std::min(at, written.size()), expected.size()), expected)
            << "unit " << c.unit << ", line unit " << c.lineUnit << ", " << c.bytes.size() / c.unit
            << " items in pieces of " << c.piece << ", flip " << int(c.flip) << ", form " << static_cast<int>(c.form);
        at += expected.size();
    }
    EXPECT_EQ(at, written.size());
}

INSTANTIATE_TEST_SUITE_P(Steps, ByteItemWriter, testing::Bool(),
    [](const testing::TestParamInfo<bool>& test) { return test.param ? "VectorSteps" : "Words"; });

} // namespace
