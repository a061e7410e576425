#include "codec/ArrayCodec.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

namespace {

// A file's bytes as an include header: twelve to a line, its length after.
std::string IncludeHeader(const std::string& bytes)
{
    std::ostringstream header;
    header << "unsigned char f_bin[] = {";
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        header << (k % 12 == 0 ? "\n  " : " ") << "0x" << std::hex << (static_cast<unsigned>(bytes[k]) & 0xFF) / 16
               << (static_cast<unsigned>(bytes[k]) & 0xF) << std::dec << (k + 1 < bytes.size() ? "," : "");
    }
    header << "\n};\nunsigned int f_bin_len = " << bytes.size() << ";\n";
    return header.str();
}

TEST(CSourceConversion, AnIncludeHeaderGivesItsFileBack)
{
    std::mt19937 random(7);
    CTempDir dir;
    for (std::size_t size : {0, 1, 12, 13, 4095, 100000}) {
        std::string bytes(size, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random());
        CArrayCodec codec;
        codec.SetSourcePath(dir.Write("f.h", IncludeHeader(bytes)));
        codec.SetDestPath(dir.Path("f"));
        const CConversionResult result = codec.CSourceToBin(0, 1);
        ASSERT_TRUE(result) << result.message;
        EXPECT_EQ(CTempDir::Read(dir.Path("f")), bytes) << size << " bytes";
    }
}

TEST(CSourceConversion, ARefusalNamesTheFileAndLeavesTheDestinationAlone)
{
    CTempDir dir;
    dir.Write("out", "precious");
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("fw.h", "/* fw */\nstatic const u8 fw[] = {\n  0x01,\n  FW_END,\n};\n"));
    codec.SetDestPath(dir.Path("out"));
    const CConversionResult result = codec.CSourceToBin(0, 1);
    EXPECT_EQ(result.outcome, EOutcome::Failed);
    EXPECT_EQ(result.failure, EFailure::NotACArray);
    EXPECT_EQ(result.path, dir.Path("fw.h"));
    EXPECT_EQ(result.message,
        "cannot read '" + dir.Path("fw.h") + "': line 4: 'FW_END' is not defined in the file: define it with -D");
    EXPECT_EQ(CTempDir::Read(dir.Path("out")), "precious");
}

TEST(CSourceConversion, TakesByteUnitsZeroToNineOnly)
{
    CTempDir dir;
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("a.h", "1"));
    codec.SetDestPath(dir.Path("out"));
    EXPECT_EQ(codec.CSourceToBin(10, 1).message, "byte unit 10 is not between 1 and 9");
    EXPECT_EQ(codec.CSourceToBin(-1, 1).failure, EFailure::BadByteUnit);
    const CConversionResult result = codec.CSourceToBin(0, 1);
    EXPECT_TRUE(result) << result.message;
    EXPECT_EQ(CTempDir::Read(dir.Path("out")), "\1");
}

} // namespace
