#include "LogicTestFixture.h"
#include "ResourceIds.h"
#include "UnitDlg.h"
#include "Usage.h"

namespace {

const std::string kEnterInteger = "정수를 입력하십시오.";
const std::string kEnterRange = "1와(과) 9 사이의 정수를 입력하십시오.";
const std::string kEnterPositive = "1 이상의 정수를 입력하십시오.";

class UnitDlg : public LogicTest
{
protected:
    CUnitDlg m_dialog{m_settingsFile};
    CFakeDialogWindow m_window{m_dialog, m_desktop};
};

TEST_F(UnitDlg, FirstUseShowsTheDefaultsAndOkStoresThem)
{
    m_window.Open();
    EXPECT_EQ(m_window.Text(IDC_BYTE_UNIT), "1");
    EXPECT_EQ(m_window.Text(IDC_LINE_UNIT), "10");
    EXPECT_EQ(m_window.accessibleNames,
        (std::map<int, std::string>{
            {IDC_BYTE_UNIT, "몇 바이트 단위로 생성할까요?"}, {IDC_LINE_UNIT, "텍스트 한줄에 몇개씩 생성할까요?"}}));
    EXPECT_FALSE(SettingsFileExists());
    m_window.Press(IDOK);
    EXPECT_EQ(m_window.result, EDialogResult::OK);
    EXPECT_EQ(SettingsText(), NewSettingsText("1", "10"));
    EXPECT_TRUE(m_desktop.messages.empty());
}

// What the dialog opens with, from presets and stored units.
struct OpenCase
{
    const char* name;
    int presetByteUnit;
    bool lineUnitEnabled;
    const char* stored;  // settings file text
    const char* shownByteUnit;
    const char* shownLineUnit;
    int focused;
};

void PrintTo(const OpenCase& c, std::ostream* out)
{
    *out << c.name;
}

class UnitDlgOpen : public UnitDlg, public testing::WithParamInterface<OpenCase>
{};

TEST_P(UnitDlgOpen, ShowsPresetOrStoredUnitsSilently)
{
    const OpenCase& c = GetParam();
    m_dir.Write("morvex.INI", c.stored);
    m_dialog.m_nByteUnit = c.presetByteUnit;
    m_dialog.SetLineUnitEnabled(c.lineUnitEnabled);
    m_window.Open();
    EXPECT_EQ(m_window.Text(IDC_BYTE_UNIT), c.shownByteUnit);
    EXPECT_EQ(m_window.Text(IDC_LINE_UNIT), c.shownLineUnit);
    for (const int id : {IDC_LINE_UNIT, IDC_LINE_UNIT_LABEL, IDC_LINE_UNIT_SUFFIX})
        EXPECT_EQ(m_window.IsEnabled(id), c.lineUnitEnabled) << id;
    EXPECT_EQ(m_window.focused, c.focused);
    EXPECT_TRUE(m_window.focusedTextSelected);
    EXPECT_TRUE(m_desktop.messages.empty());
    EXPECT_EQ(CTempDir::Read(m_settingsFile.string()), c.stored);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, UnitDlgOpen,
    testing::Values(
        OpenCase{"Stored", 0, true, "[config]\nByteUnit=4\nLineUnit=16\n", "4", "16", IDC_BYTE_UNIT},
        OpenCase{"PresetWins", 3, false, "[config]\nByteUnit=4\nLineUnit=16\n", "3", "16", IDC_BYTE_UNIT},
        OpenCase{"OutOfRangePreset", 12, true, "", "12", "10", IDC_BYTE_UNIT},
        OpenCase{"StoredOutOfRange", 0, true, "[config]\nByteUnit=0\nLineUnit=-3\n", "0", "-3", IDC_BYTE_UNIT},
        // A greyed edit box cannot be corrected: the default stands in.
        OpenCase{"DisabledLineUnitRefused", 0, false, "[config]\nLineUnit=0\n", "1", "10", IDC_BYTE_UNIT}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

// OK with the line unit greyed: the stored line unit goes back as it was, or
// as the default that stood in for one the dialog would refuse.
struct DisabledLineUnitCase
{
    const char* name;
    int storedLineUnit;
    int lineUnitAfter;
};

class UnitDlgDisabledLineUnit : public UnitDlg, public testing::WithParamInterface<DisabledLineUnitCase>
{};

TEST_P(UnitDlgDisabledLineUnit, IsWrittenBackOnOk)
{
    m_settings.WriteSettingInt("config", "LineUnit", GetParam().storedLineUnit);
    m_dialog.m_nByteUnit = 3;
    m_dialog.SetLineUnitEnabled(false);
    m_window.Open();
    m_window.Press(IDOK);
    EXPECT_EQ(m_window.result, EDialogResult::OK);
    EXPECT_TRUE(m_desktop.messages.empty());
    EXPECT_EQ(m_dialog.m_nLineUnit, GetParam().lineUnitAfter);
    EXPECT_EQ(m_settings.ReadSettingInt("config", "ByteUnit", 1), 3);
    EXPECT_EQ(m_settings.ReadSettingInt("config", "LineUnit", 0), GetParam().lineUnitAfter);
}

INSTANTIATE_TEST_SUITE_P(Stored, UnitDlgDisabledLineUnit,
    testing::Values(DisabledLineUnitCase{"Unchanged", 16, 16}, DisabledLineUnitCase{"RefusedGivesTheDefault", 0, 10}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(UnitDlg, CancelAfterEditingStoresNothing)
{
    m_window.Open();
    m_window.Type(IDC_BYTE_UNIT, "5");
    m_window.Type(IDC_LINE_UNIT, "20");
    m_window.Press(IDCANCEL);
    EXPECT_EQ(m_window.result, EDialogResult::Cancel);
    EXPECT_FALSE(SettingsFileExists());
    EXPECT_EQ(m_dialog.m_nByteUnit, 1);
    EXPECT_EQ(m_dialog.m_nLineUnit, 10);
}

TEST_F(UnitDlg, HelpShowsTheUsageAndKeepsTheDialogOpen)
{
    m_window.Open();
    m_dialog.OnHelp();
    EXPECT_EQ(m_desktop.MessageTexts(), std::vector<std::string>{std::string(kUsageText)});
    EXPECT_FALSE(m_window.result);
}

TEST_F(UnitDlg, RefusedUnitCanBeCorrected)
{
    m_dialog.m_nByteUnit = 12;
    m_window.Open();
    m_window.Press(IDOK);
    EXPECT_FALSE(m_window.result);
    m_window.Type(IDC_BYTE_UNIT, "2");
    m_window.Press(IDOK);
    EXPECT_EQ(m_window.result, EDialogResult::OK);
    EXPECT_EQ(m_desktop.MessageTexts(), std::vector<std::string>{kEnterRange});
    EXPECT_EQ(m_dialog.m_nByteUnit, 2);
}

// One confirmation with the given texts in the two edit boxes.
struct ConfirmCase
{
    const char* byteText;
    const char* lineText;
    std::string message;  // empty: accepted
    int failingId;        // the edit that gets the focus and the selection
    int byteUnitAfter;
    int lineUnitAfter;
};

class UnitDlgConfirm : public UnitDlg, public testing::WithParamInterface<ConfirmCase>
{};

TEST_P(UnitDlgConfirm, ValidatesInExchangeOrder)
{
    const ConfirmCase& c = GetParam();
    m_dialog.m_nByteUnit = 8;
    m_dialog.m_nLineUnit = 80;
    m_window.Open();
    m_window.Type(IDC_BYTE_UNIT, c.byteText);
    m_window.Type(IDC_LINE_UNIT, c.lineText);
    m_window.focused = 0;
    m_window.Press(IDOK);

    EXPECT_EQ(m_dialog.m_nByteUnit, c.byteUnitAfter);
    EXPECT_EQ(m_dialog.m_nLineUnit, c.lineUnitAfter);
    if (c.message.empty()) {
        EXPECT_TRUE(m_desktop.messages.empty());
        EXPECT_EQ(m_window.result, EDialogResult::OK);
        EXPECT_EQ(m_settings.ReadSettingInt("config", "ByteUnit", 0), c.byteUnitAfter);
        EXPECT_EQ(m_settings.ReadSettingInt("config", "LineUnit", 0), c.lineUnitAfter);
        return;
    }
    EXPECT_EQ(m_desktop.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(m_desktop.messages[0].owner, &m_dialog);
    EXPECT_FALSE(m_window.result);
    EXPECT_FALSE(SettingsFileExists());
    EXPECT_EQ(m_window.focused, c.failingId);
    EXPECT_TRUE(m_window.focusedTextSelected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, UnitDlgConfirm,
    testing::Values(
        ConfirmCase{"4", "16", {}, 0, 4, 16},
        ConfirmCase{" 7 ", "\t10 ", {}, 0, 7, 10},
        ConfirmCase{"9", "1000000", {}, 0, 9, 1000000},
        ConfirmCase{"1", "1", {}, 0, 1, 1},
        ConfirmCase{"+3", "007", {}, 0, 3, 7},
        ConfirmCase{"7a", "abc", kEnterInteger, IDC_BYTE_UNIT, 8, 80},
        ConfirmCase{"", "16", kEnterInteger, IDC_BYTE_UNIT, 8, 80},
        ConfirmCase{"0x7", "16", kEnterInteger, IDC_BYTE_UNIT, 8, 80},
        ConfirmCase{"-0", "16", kEnterInteger, IDC_BYTE_UNIT, 8, 80},
        ConfirmCase{"７", "16", kEnterInteger, IDC_BYTE_UNIT, 8, 80},
        ConfirmCase{"0", "16", kEnterRange, IDC_BYTE_UNIT, 0, 80},
        ConfirmCase{"10", "16", kEnterRange, IDC_BYTE_UNIT, 10, 80},
        ConfirmCase{"-1", "x", kEnterRange, IDC_BYTE_UNIT, -1, 80},
        ConfirmCase{"3", "abc", kEnterInteger, IDC_LINE_UNIT, 3, 80},
        ConfirmCase{"3", "", kEnterInteger, IDC_LINE_UNIT, 3, 80},
        ConfirmCase{"3", "0", kEnterPositive, IDC_LINE_UNIT, 3, 0},
        ConfirmCase{"3", "-4", kEnterPositive, IDC_LINE_UNIT, 3, -4}));
// clang-format on

} // namespace
