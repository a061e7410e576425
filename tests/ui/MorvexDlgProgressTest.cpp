#include "LogicTestFixture.h"
#include "MorvexDlg.h"
#include "ResourceIds.h"

#include <chrono>

namespace {

using namespace std::chrono_literals;

// The engine reads its source a mebibyte at a time, one chunk per report.
constexpr std::size_t kChunk = 1 << 20;
constexpr int kSourceChunks = 8;
const std::string kOldDest = "old destination";

// Every conversion here takes a tenth of a second per chunk of source, so the
// progress window is due after the fifth.
class MorvexDlgProgress : public LogicTest
{
protected:
    void SetUp() override
    {
        m_desktop.timePerChunk = 100ms;
        m_window.Open();
    }

    // The destination exists beforehand; the unit dialog is answered with OK.
    void Convert(int button, const std::string& source)
    {
        m_window.Type(IDC_SOURCE_PATH, m_dir.Write("source", source));
        m_window.Type(IDC_DEST_PATH, m_dir.Write("dest", kOldDest));
        m_desktop.users.push_back([](CFakeDialogWindow& unitWindow) { unitWindow.Press(IDOK); });
        m_window.Press(button);
    }

    // The converted files' folder, without the settings file.
    std::vector<std::string> FolderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.Root()))
            if (entry.path() != m_settingsFile)
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    CMorvexDlg m_dialog{m_settingsFile};
    CFakeDialogWindow m_window{m_dialog, m_desktop};
};

const std::string kLongBinary(kSourceChunks* kChunk, 'A');
const std::string kLongText = [] {
    std::string text;
    while (text.size() < kSourceChunks * kChunk)
        text += "0x41,";
    return text;
}();

// Which runs of a conversion are long enough to show progress.
struct LengthCase
{
    const char* name;
    int button;
    std::string source;
    std::vector<std::optional<int>> windowShownAtChunk;  // per job: the scan, then the conversion
};

void PrintTo(const LengthCase& c, std::ostream* out)
{
    *out << c.name;
}

class MorvexDlgProgressLength : public MorvexDlgProgress, public testing::WithParamInterface<LengthCase>
{};

TEST_P(MorvexDlgProgressLength, ShowsProgressOnlyAfterTheDelay)
{
    Convert(GetParam().button, GetParam().source);
    std::vector<std::optional<int>> shown;
    for (const auto& run : m_desktop.progressRuns) {
        EXPECT_EQ(run.sourcePath, m_dir.Path("source"));
        shown.push_back(run.windowShownAtChunk);
    }
    EXPECT_EQ(shown, GetParam().windowShownAtChunk);
    EXPECT_EQ(m_desktop.MessageTexts(), std::vector<std::string>{"변환완료"});
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, MorvexDlgProgressLength,
    testing::Values(
        LengthCase{"ShortBinToText", IDC_BIN_TO_TXT, "AB", {std::nullopt}},
        LengthCase{"ShortTextToBin", IDC_TXT_TO_BIN, "0x41,", {std::nullopt, std::nullopt}},
        LengthCase{"LongBinToText", IDC_BIN_TO_TXT, kLongBinary, {5}},
        LengthCase{"LongTextToBin", IDC_TXT_TO_BIN, kLongText, {5, 5}}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

// A cancel, wherever it comes, leaves everything as it was and says nothing.
struct CancelCase
{
    const char* name;
    int button;
    std::string source;
    int unitDialogsOpened;
};

void PrintTo(const CancelCase& c, std::ostream* out)
{
    *out << c.name;
}

class MorvexDlgProgressCancel : public MorvexDlgProgress, public testing::WithParamInterface<CancelCase>
{};

TEST_P(MorvexDlgProgressCancel, LeavesTheDestinationAsItWasAndSaysNothing)
{
    m_desktop.cancelAtChunk = 6;
    const auto& c = GetParam();
    m_window.Type(IDC_SOURCE_PATH, m_dir.Write("source", c.source));
    m_window.Type(IDC_DEST_PATH, m_dir.Write("dest", kOldDest));
    if (c.unitDialogsOpened)
        m_desktop.users.push_back([](CFakeDialogWindow& unitWindow) { unitWindow.Press(IDOK); });
    m_window.Press(c.button);

    EXPECT_EQ(m_desktop.modalRuns, c.unitDialogsOpened);
    ASSERT_EQ(m_desktop.progressRuns.size(), 1u);
    EXPECT_EQ(m_desktop.progressRuns[0].chunks, 6);
    EXPECT_TRUE(m_desktop.messages.empty());
    EXPECT_EQ(CTempDir::Read(m_dir.Path("dest")), kOldDest);
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"dest", "source"}));
    EXPECT_FALSE(m_window.result);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Work, MorvexDlgProgressCancel,
    testing::Values(
        CancelCase{"ConversionOfBinToText", IDC_BIN_TO_TXT, kLongBinary, 1},
        CancelCase{"ScanOfTextToBin", IDC_TXT_TO_BIN, kLongText, 0},
        CancelCase{"ScanOfHexInvert", IDC_HEX_INVERT, kLongText, 0}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

} // namespace
