#include "AboutDlg.h"
#include "LogicTestFixture.h"
#include "MorvexDlg.h"
#include "fileio/QuotedName.h"
#include "ResourceIds.h"
#include "UnitDlg.h"
#include "Usage.h"

namespace {

const std::string kDone = "변환완료";
const std::string kFailed = "변환실패";
const std::string kSelectSource = "원본파일을 먼저 선택하세요";

class MorvexDlg : public LogicTest
{
protected:
    void SetUp() override { m_window.Open(); }

    // Answers the next unit dialog: checks, then presses a button.
    void AnswerUnits(std::function<void(CFakeDialogWindow&)> check, int button = IDOK)
    {
        m_desktop.users.push_back([check = std::move(check), button](CFakeDialogWindow& unitWindow) {
            check(unitWindow);
            unitWindow.Press(button);
        });
    }

    CMorvexDlg m_dialog{m_settingsFile};
    CFakeDialogWindow m_window{m_dialog, m_desktop};
};

TEST_F(MorvexDlg, OpensWithCaptionIconAboutEntryAndFocusInTheSourceEdit)
{
    EXPECT_EQ(m_window.caption, "Morvex v1.10");
    EXPECT_EQ(m_window.icon, IDR_MAINFRAME);
    EXPECT_EQ(m_window.aboutEntries, std::vector<std::string>{"&About..."});
    EXPECT_EQ(m_window.focused, IDC_SOURCE_PATH);
    EXPECT_TRUE(m_window.focusedTextSelected);
    EXPECT_EQ(m_window.accessibleNames,
        (std::map<int, std::string>{{IDC_SOURCE_PATH, "원본파일"}, {IDC_DEST_PATH, "생성파일"}}));
    EXPECT_EQ(m_window.Text(IDC_SOURCE_PATH), "");
    EXPECT_EQ(m_window.Text(IDC_DEST_PATH), "");
}

// How each conversion command runs on a source that needs it.
struct CommandCase
{
    const char* name;
    int button;
    std::string source;
    const char* suffix;
    const char* shownByteUnit;  // with no settings file yet
    bool lineUnitEnabled;
    bool destShown;             // the derived destination stays in its edit box
    std::string converted;
};

void PrintTo(const CommandCase& c, std::ostream* out)
{
    *out << c.name;
}

class MorvexDlgCommand : public MorvexDlg, public testing::WithParamInterface<CommandCase>
{};

TEST_P(MorvexDlgCommand, DerivesTheDestinationPresetsTheUnitsAndConverts)
{
    const CommandCase& c = GetParam();
    const std::string source = m_dir.Write("x", c.source);
    const std::string derived = source + c.suffix;
    m_window.Type(IDC_SOURCE_PATH, source);
    AnswerUnits([&](CFakeDialogWindow& unitWindow) {
        EXPECT_NE(dynamic_cast<CUnitDlg*>(&unitWindow.Dialog()), nullptr);
        EXPECT_EQ(unitWindow.Text(IDC_BYTE_UNIT), c.shownByteUnit);
        EXPECT_EQ(unitWindow.Text(IDC_LINE_UNIT), "10");
        for (const int id : {IDC_LINE_UNIT, IDC_LINE_UNIT_LABEL, IDC_LINE_UNIT_SUFFIX})
            EXPECT_EQ(unitWindow.IsEnabled(id), c.lineUnitEnabled) << id;
        EXPECT_EQ(m_window.Text(IDC_DEST_PATH), c.destShown ? derived : "");
        EXPECT_TRUE(m_desktop.messages.empty());
    });
    m_window.Press(c.button);

    EXPECT_EQ(m_desktop.modalRuns, 1);
    EXPECT_EQ(m_desktop.MessageTexts(), std::vector<std::string>{kDone});
    EXPECT_EQ(m_desktop.messages[0].owner, &m_dialog);
    EXPECT_EQ(CTempDir::Read(derived), c.converted);
    EXPECT_EQ(m_window.Text(IDC_DEST_PATH), c.destShown ? derived : "");
    EXPECT_EQ(SettingsText(), NewSettingsText(c.shownByteUnit, "10"));
}

TEST_P(MorvexDlgCommand, CancelledUnitsConvertNothing)
{
    const CommandCase& c = GetParam();
    const std::string source = m_dir.Write("x", c.source);
    m_window.Type(IDC_SOURCE_PATH, source);
    AnswerUnits([](CFakeDialogWindow&) {}, IDCANCEL);
    m_window.Press(c.button);

    EXPECT_TRUE(m_desktop.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(source + c.suffix));
    EXPECT_FALSE(SettingsFileExists());
    EXPECT_EQ(m_window.Text(IDC_DEST_PATH), c.destShown ? source + c.suffix : "");
}

TEST_P(MorvexDlgCommand, EmptySourceAsksForItAndOpensNothing)
{
    m_window.Type(IDC_DEST_PATH, m_dir.Path("dest"));
    m_window.Press(GetParam().button);
    EXPECT_EQ(m_desktop.MessageTexts(), std::vector<std::string>{kSelectSource});
    EXPECT_EQ(m_desktop.modalRuns, 0);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("dest")));
}

TEST_P(MorvexDlgCommand, TypedDestinationIsUsedAsItIs)
{
    const CommandCase& c = GetParam();
    m_window.Type(IDC_SOURCE_PATH, m_dir.Write("x", c.source));
    m_window.Type(IDC_DEST_PATH, m_dir.Path("chosen"));
    AnswerUnits([](CFakeDialogWindow&) {});
    m_window.Press(c.button);
    EXPECT_EQ(CTempDir::Read(m_dir.Path("chosen")), c.converted);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path(std::string("x") + c.suffix)));
    EXPECT_EQ(m_window.Text(IDC_DEST_PATH), m_dir.Path("chosen"));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Commands, MorvexDlgCommand,
    testing::Values(
        CommandCase{"BinToText", IDC_BIN_TO_TXT, "AB", ".txt", "1", true, false, "0x41,0x42,"},
        CommandCase{"TextToBin", IDC_TXT_TO_BIN, "0x4142,", ".bin", "2", false, true, "BA"},
        CommandCase{"HexInvert", IDC_HEX_INVERT, "0x12,0x1234,", ".txt", "2", true, false, "0xFFED,0xEDCB,"}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

TEST_F(MorvexDlg, ShownDerivedDestinationServesLaterCommands)
{
    const std::string source = m_dir.Write("x.txt", "0x41,0x42,");
    m_window.Type(IDC_SOURCE_PATH, source);
    AnswerUnits([](CFakeDialogWindow&) {}, IDCANCEL);
    m_window.Press(IDC_TXT_TO_BIN);
    AnswerUnits([](CFakeDialogWindow&) {});
    m_window.Press(IDC_BIN_TO_TXT);
    EXPECT_EQ(CTempDir::Read(source + ".bin"), "0x30,0x78,0x34,0x31,0x2C,0x30,0x78,0x34,0x32,0x2C,\r\n");
    EXPECT_FALSE(std::filesystem::exists(source + ".txt"));
}

// The byte unit the unit dialog opens with, for sources scanned by TXT → BIN.
struct ScanCase
{
    std::string source;
    const char* shownByteUnit;  // with a stored byte unit of 3
};

class MorvexDlgScan : public MorvexDlg, public testing::WithParamInterface<ScanCase>
{};

TEST_P(MorvexDlgScan, PresetsTheByteUnit)
{
    m_settings.WriteSettingInt("config", "ByteUnit", 3);
    m_window.Type(IDC_SOURCE_PATH, m_dir.Write("x.txt", GetParam().source));
    AnswerUnits(
        [](CFakeDialogWindow& unitWindow) { EXPECT_EQ(unitWindow.Text(IDC_BYTE_UNIT), GetParam().shownByteUnit); },
        IDCANCEL);
    m_window.Press(IDC_TXT_TO_BIN);
    EXPECT_EQ(m_desktop.modalRuns, 1);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, MorvexDlgScan,
    testing::Values(
        ScanCase{"0x12,0x1234,", "2"},
        ScanCase{"0x123456,", "3"},
        ScanCase{"no numbers here", "3"},
        ScanCase{"0x123456789012345678901234,", "12"}));
// clang-format on

// Failures the conversion reports: the one word the user sees, and the
// engine's reason in the box's details, in the program's words with the
// system's part put in the user's language by the platform.
enum class EFailingDest { Other, Source, Folder };

struct FailureCase
{
    const char* name;
    bool sourceExists;
    EFailingDest dest;
    const char* reasonStart;   // before the quoted name of the file the failure concerns
    const char* reasonEnd;
};

class MorvexDlgFailure : public MorvexDlg, public testing::WithParamInterface<FailureCase>
{};

TEST_P(MorvexDlgFailure, IsReportedAndLeavesTheSourceAlone)
{
    const FailureCase& c = GetParam();
    const std::string source = c.sourceExists ? m_dir.Write("x.bin", "AB") : m_dir.Path("missing.bin");
    std::filesystem::create_directory(m_dir.Path("folder"));
    const std::string dests[] = {m_dir.Path("out.txt"), source, m_dir.Path("folder")};
    const std::string dest = dests[static_cast<int>(c.dest)];
    m_window.Type(IDC_SOURCE_PATH, source);
    m_window.Type(IDC_DEST_PATH, dest);
    AnswerUnits([](CFakeDialogWindow&) {});
    m_window.Press(IDC_BIN_TO_TXT);
    EXPECT_EQ(m_desktop.MessageTexts(), std::vector<std::string>{kFailed});
    const std::string named = c.sourceExists ? dest : source;
    EXPECT_EQ(m_desktop.messages[0].details, c.reasonStart + QuotedName(named) + c.reasonEnd);
    if (c.sourceExists) {
        EXPECT_EQ(CTempDir::Read(source), "AB");
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("out.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path("folder")));
}

INSTANTIATE_TEST_SUITE_P(Cases, MorvexDlgFailure,
    testing::Values(FailureCase{"SameFile", true, EFailingDest::Source, "원본파일과 생성파일이 같은 파일입니다: ", ""},
        FailureCase{"MissingSource", false, EFailingDest::Other, "원본파일 ",
            "을(를) 열 수 없습니다: <No such file or directory>"},
        FailureCase{"DestinationIsAFolder", true, EFailingDest::Folder, "생성파일 ",
            "을(를) 열 수 없습니다: <Is a directory>"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(MorvexDlg, BrowsingKeepsTheOtherTypedPath)
{
    m_window.Type(IDC_DEST_PATH, "typed-dest");
    m_desktop.fileAnswers = {"/data/chosen.bin"};
    m_window.Press(IDC_BROWSE_SOURCE);
    EXPECT_EQ(m_window.Text(IDC_SOURCE_PATH), "/data/chosen.bin");
    EXPECT_EQ(m_window.Text(IDC_DEST_PATH), "typed-dest");

    m_window.Type(IDC_SOURCE_PATH, "typed-source");
    m_desktop.fileAnswers = {"/data/new.txt"};
    m_window.Press(IDC_BROWSE_DEST);
    EXPECT_EQ(m_window.Text(IDC_SOURCE_PATH), "typed-source");
    EXPECT_EQ(m_window.Text(IDC_DEST_PATH), "/data/new.txt");

    EXPECT_EQ(
        m_desktop.fileRequests, (std::vector<EFileChoice>{EFileChoice::ExistingSource, EFileChoice::Destination}));
    EXPECT_TRUE(m_desktop.messages.empty());
}

TEST_F(MorvexDlg, CancelledChooserChangesNothing)
{
    m_window.Type(IDC_SOURCE_PATH, "a");
    m_window.Type(IDC_DEST_PATH, "b");
    m_desktop.fileAnswers = {std::nullopt, std::nullopt};
    m_window.Press(IDC_BROWSE_SOURCE);
    m_window.Press(IDC_BROWSE_DEST);
    EXPECT_EQ(m_window.Text(IDC_SOURCE_PATH), "a");
    EXPECT_EQ(m_window.Text(IDC_DEST_PATH), "b");
    EXPECT_EQ(m_desktop.fileRequests.size(), 2u);
}

TEST_F(MorvexDlg, CommandHelpAndF1ShowTheUsage)
{
    m_window.Press(IDC_COMMAND_HELP);
    m_dialog.OnHelp();
    EXPECT_EQ(m_desktop.MessageTexts(), (std::vector<std::string>{std::string(kUsageText), std::string(kUsageText)}));
    EXPECT_TRUE(m_desktop.openedAddresses.empty());
    EXPECT_FALSE(m_window.result);
}

TEST_F(MorvexDlg, HomePageHandsTheAddressOncePerPress)
{
    m_window.Press(IDC_HOMEPAGE);
    m_window.Press(IDC_HOMEPAGE);
    const std::string address = "http://morvex.example.org/morvex";
    EXPECT_EQ(m_desktop.openedAddresses, (std::vector<std::string>{address, address}));
    EXPECT_TRUE(m_desktop.messages.empty());
    EXPECT_FALSE(m_window.result);
}

TEST_F(MorvexDlg, AboutCommandOpensTheAboutBoxAndTheDialogStaysOpen)
{
    bool opened = false;
    m_desktop.users.push_back([&](CFakeDialogWindow& aboutWindow) {
        opened = dynamic_cast<CAboutDlg*>(&aboutWindow.Dialog()) != nullptr;
        aboutWindow.Press(IDCANCEL);
    });
    m_window.Press(IDM_ABOUTBOX);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(m_window.result);
}

TEST_F(MorvexDlg, CancelEndsTheDialogWithoutReading)
{
    m_window.Type(IDC_SOURCE_PATH, "typed");
    m_window.Press(IDCANCEL);
    EXPECT_EQ(m_window.result, EDialogResult::Cancel);
    EXPECT_EQ(m_dialog.m_strSourcePath, "");
}

} // namespace

// A file handed over at start-up (dropped on the program) is the source, as
// if typed.
TEST_F(LogicTest, APresetSourceShowsInItsEditBoxAndIsConverted)
{
    CMorvexDlg dialog{m_settingsFile};
    dialog.m_strSourcePath = m_dir.Write("dropped.bin", "AB");
    CFakeDialogWindow window{dialog, m_desktop};
    window.Open();
    EXPECT_EQ(window.Text(IDC_SOURCE_PATH), dialog.m_strSourcePath);
    m_desktop.users.push_back([](CFakeDialogWindow& unitWindow) { unitWindow.Press(IDOK); });
    window.Press(IDC_BIN_TO_TXT);
    EXPECT_EQ(CTempDir::Read(m_dir.Path("dropped.bin.txt")), "0x41,0x42,");
}
