#include "AboutDlg.h"
#include "LogicTestFixture.h"
#include "ResourceIds.h"

namespace {

constexpr char kNotes[] = "  Release version 1.10\r\n  - 한글\r\n";

class AboutDlg : public LogicTest
{
protected:
    CAboutDlg m_dialog;
    CFakeDialogWindow m_window{m_dialog, m_desktop};
};

TEST_F(AboutDlg, ShowsTheVersionLineAndTheReleaseNotesInAFixedWidthFace)
{
    m_desktop.textResources[IDR_RELEASE_NOTES] = kNotes;
    m_window.Open();
    EXPECT_EQ(m_window.Text(IDC_VERSION_TEXT), "Morvex v1.10");
    EXPECT_EQ(m_window.Text(IDC_RELEASE_NOTES), kNotes);
    EXPECT_EQ(m_window.fixedWidthFonts, std::set<int>{IDC_RELEASE_NOTES});
    EXPECT_EQ(m_window.focused, IDOK);
    EXPECT_FALSE(m_window.focusedTextSelected);
}

TEST_F(AboutDlg, MissingReleaseNotesLeaveTheBoxEmptyInTheDialogsFont)
{
    m_window.Open();
    EXPECT_EQ(m_window.Text(IDC_VERSION_TEXT), "Morvex v1.10");
    EXPECT_EQ(m_window.Text(IDC_RELEASE_NOTES), "");
    EXPECT_TRUE(m_window.fixedWidthFonts.empty());
    EXPECT_TRUE(m_desktop.messages.empty());
}

// OK and Cancel both close it and leave the fields as shown.
class AboutDlgCloses : public AboutDlg, public testing::WithParamInterface<int>
{};

TEST_P(AboutDlgCloses, AndLeavesItsFieldsAsShown)
{
    m_desktop.textResources[IDR_RELEASE_NOTES] = kNotes;
    m_window.Open();
    m_window.Press(GetParam());
    EXPECT_EQ(m_window.result, GetParam() == IDOK ? EDialogResult::OK : EDialogResult::Cancel);
    EXPECT_EQ(m_dialog.m_strVersion, "Morvex v1.10");
    EXPECT_EQ(m_dialog.m_strReleaseNotes, kNotes);
    EXPECT_TRUE(m_desktop.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, AboutDlgCloses, testing::Values(IDOK, IDCANCEL));

} // namespace
