#include "SettingsStore.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

class SettingsStore : public testing::Test
{
protected:
    CTempDir m_dir;
    CSettingsStore m_store{m_dir.Path("morvex.INI")};

    void WriteFile(const std::string& text) { m_dir.Write("morvex.INI", text); }
    std::string FileText() const { return CTempDir::Read(m_dir.Path("morvex.INI")); }
};

TEST_F(SettingsStore, MissingFileReadsTheDefaultsAndIsNotCreated)
{
    EXPECT_EQ(m_store.ReadSettingInt("config", "ByteUnit", 1), 1);
    EXPECT_EQ(m_store.ReadSettingInt("config", "LineUnit", 10), 10);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("morvex.INI")));
}

TEST_F(SettingsStore, WritesBothKeysInOrderAndReadsThemBack)
{
    EXPECT_TRUE(m_store.WriteSettingInt("config", "ByteUnit", 4));
    EXPECT_TRUE(m_store.WriteSettingInt("config", "LineUnit", 16));
    EXPECT_EQ(FileText(), "[config]\nByteUnit=4\nLineUnit=16\n");
    EXPECT_EQ(m_store.ReadSettingInt("config", "ByteUnit", 1), 4);
    EXPECT_EQ(m_store.ReadSettingInt("config", "LineUnit", 10), 16);
}

TEST_F(SettingsStore, RewritingReplacesTheValueInPlace)
{
    WriteFile("[config]\nByteUnit=4\nLineUnit=16\n");
    m_store.WriteSettingInt("config", "ByteUnit", 9);
    EXPECT_EQ(FileText(), "[config]\nByteUnit=9\nLineUnit=16\n");
}

TEST_F(SettingsStore, KeepsOtherSectionsAndKeys)
{
    WriteFile("; note\n[other]\nByteUnit=7\n\n[config]\nColour=blue\n\n[last]\nx=1\n");
    m_store.WriteSettingInt("config", "ByteUnit", 3);
    m_store.WriteSettingInt("config", "LineUnit", 12);
    EXPECT_EQ(FileText(), "; note\n[other]\nByteUnit=7\n\n[config]\nColour=blue\nByteUnit=3\nLineUnit=12\n\n[last]\nx=1\n");
    EXPECT_EQ(m_store.ReadSettingInt("other", "ByteUnit", 1), 7);
}

TEST_F(SettingsStore, AppendsAMissingSection)
{
    WriteFile("[other]\nx=1\n");
    m_store.WriteSettingInt("config", "LineUnit", 20);
    EXPECT_EQ(FileText(), "[other]\nx=1\n[config]\nLineUnit=20\n");
}

TEST_F(SettingsStore, CreatesTheFolder)
{
    CSettingsStore nested(m_dir.Root() / "config" / "deeper" / "morvex.INI");
    EXPECT_TRUE(nested.WriteSettingInt("config", "ByteUnit", 2));
    EXPECT_EQ(nested.ReadSettingInt("config", "ByteUnit", 1), 2);
}

TEST_F(SettingsStore, UnwritableFileReportsFailure)
{
    CSettingsStore blocked(m_dir.Root() / "file" / "morvex.INI");
    m_dir.Write("file", "not a folder");
    EXPECT_FALSE(blocked.WriteSettingInt("config", "ByteUnit", 2));
}

struct ValueCase
{
    std::string file;
    int expected;  // read with default 10
};

class SettingsValue : public SettingsStore, public testing::WithParamInterface<ValueCase>
{
};

TEST_P(SettingsValue, ReadsLikeAProfileFile)
{
    WriteFile(GetParam().file);
    EXPECT_EQ(m_store.ReadSettingInt("config", "LineUnit", 10), GetParam().expected) << GetParam().file;
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsValue,
    testing::Values(
        ValueCase{"[config]\nByteUnit=4\n", 10},
        ValueCase{"[config]\nLineUnit=16\n", 16},
        ValueCase{"[config]\r\nLineUnit=16\r\n", 16},
        ValueCase{"[Config]\nlineunit = 16 \n", 16},
        ValueCase{"  [ config ]  \n  LineUnit=16\n", 16},
        ValueCase{"[config]\nLineUnit=12abc\n", 12},
        ValueCase{"[config]\nLineUnit=abc\n", 0},
        ValueCase{"[config]\nLineUnit=-3\n", -3},
        ValueCase{"[config]\nLineUnit=\n", 10},
        ValueCase{"[config]\nLineUnit=99999999999\n", 2147483647},
        ValueCase{"[other]\nLineUnit=16\n", 10},
        ValueCase{"[config]\nLineUnitX=16\n", 10},
        ValueCase{"[config]\nLineUnit=16\nLineUnit=17\n", 16},
        ValueCase{"", 10}));

} // namespace
