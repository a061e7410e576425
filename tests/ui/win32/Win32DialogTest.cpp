#include "Dialog.h"
#include "DialogTemplates.h"
#include "ResourceIds.h"
#include "Version.h"
#include "Win32Dialog.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <string>

namespace {

// A dialog whose initialisation hands its real window to the test.
class CProbeDialog : public CDialog
{
public:
    CProbeDialog(const CDialogTemplate& dialogTemplate, std::function<void(IDialogWindow&)> probe)
        : CDialog(dialogTemplate)
        , m_probe(std::move(probe))
    {
    }

protected:
    void OnInitDialog() override { m_probe(Window()); }

private:
    std::function<void(IDialogWindow&)> m_probe;
};

const CWin32Desktop kDesktop{GetModuleHandleW(nullptr), L"Morvex"};

EDialogResult Probe(const CDialogTemplate& dialogTemplate, std::function<void(IDialogWindow&)> probe)
{
    CProbeDialog dialog(dialogTemplate, std::move(probe));
    return CWin32Dialog::Run(dialog, kDesktop, nullptr);
}

// A text written into a control and read back, as the data exchange does.
struct TextCase
{
    const char* name;
    const CDialogTemplate* dialogTemplate;
    int id;
    std::string text;
};

void PrintTo(const TextCase& c, std::ostream* out)
{
    *out << c.name;
}

class Win32DialogText : public testing::TestWithParam<TextCase>
{};

TEST_P(Win32DialogText, ComesBackAsWritten)
{
    const TextCase& c = GetParam();
    std::string readBack;
    const EDialogResult result = Probe(*c.dialogTemplate, [&](IDialogWindow& window) {
        window.SetControlText(c.id, c.text);
        readBack = window.ControlText(c.id);
        window.End(EDialogResult::OK);
    });
    EXPECT_EQ(result, EDialogResult::OK);
    EXPECT_EQ(readBack, c.text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Controls, Win32DialogText,
    testing::Values(
        TextCase{"KoreanPath", &MainDialogTemplate(), IDC_SOURCE_PATH, "C:\\데이터\\원본 파일.bin"},
        TextCase{"Empty", &MainDialogTemplate(), IDC_DEST_PATH, ""},
        TextCase{"Integer", &UnitDialogTemplate(), IDC_BYTE_UNIT, " -12 "},
        TextCase{"LinesInCrLf", &AboutDialogTemplate(), IDC_RELEASE_NOTES, "첫 줄\r\n  둘째 줄\r\n"},
        TextCase{"VersionLine", &AboutDialogTemplate(), IDC_VERSION_TEXT, "Morvex v1.10 & more"}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

TEST(Win32Dialog, CancelEndsWithCancel)
{
    EXPECT_EQ(Probe(UnitDialogTemplate(), [](IDialogWindow& window) { window.End(EDialogResult::Cancel); }),
        EDialogResult::Cancel);
}

TEST(Win32Dialog, FocusSelectsAnEditsWholeTextAndDisabledControlsStayDisabled)
{
    int focusedId = 0;
    DWORD selectionEnd = 0;
    bool lineUnitEnabled = true;
    Probe(UnitDialogTemplate(), [&](IDialogWindow& window) {
        window.SetControlText(IDC_BYTE_UNIT, "42");
        window.EnableControl(IDC_LINE_UNIT, false);
        window.FocusControl(IDC_BYTE_UNIT);
        HWND focused = GetFocus();
        focusedId = GetDlgCtrlID(focused);
        DWORD start = 1;
        SendMessageW(focused, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&selectionEnd));
        selectionEnd -= start;
        lineUnitEnabled = IsWindowEnabled(GetDlgItem(GetParent(focused), IDC_LINE_UNIT));
        window.End(EDialogResult::OK);
    });
    EXPECT_EQ(focusedId, IDC_BYTE_UNIT);
    EXPECT_EQ(selectionEnd, 2u);
    EXPECT_FALSE(lineUnitEnabled);
}

TEST(Win32Dialog, DisabledEditShowsTheStartOfItsText)
{
    LRESULT scrolledTo = 0;
    LRESULT shownFrom = -1;
    Probe(UnitDialogTemplate(), [&](IDialogWindow& window) {
        window.SetControlText(IDC_LINE_UNIT, "2147483647");
        // Selecting the whole text scrolls the box to its end.
        window.FocusControl(IDC_LINE_UNIT);
        HWND edit = GetFocus();
        scrolledTo = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
        window.EnableControl(IDC_LINE_UNIT, false);
        shownFrom = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
        window.End(EDialogResult::OK);
    });
    ASSERT_GT(scrolledTo, 0) << "the box is wide enough for the whole text";
    EXPECT_EQ(shownFrom, 0);
}

// A drop of one file from Explorer, as the shell hands it to a window.
HDROP DropOf(const std::wstring& path)
{
    const SIZE_T size = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    path.copy(reinterpret_cast<wchar_t*>(files + 1), path.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class Win32DialogDrop : public testing::TestWithParam<int>
{};

TEST_P(Win32DialogDrop, PutsTheDroppedFilesPathIntoThePathEdit)
{
    std::string shown;
    Probe(MainDialogTemplate(), [&](IDialogWindow& window) {
        window.SetControlText(GetParam(), "typed");
        window.FocusControl(GetParam());
        SendMessageW(GetFocus(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(L"C:\\드롭\\file one.bin")), 0);
        shown = window.ControlText(GetParam());
        window.End(EDialogResult::Cancel);
    });
    EXPECT_EQ(shown, "C:\\드롭\\file one.bin");
}

INSTANTIATE_TEST_SUITE_P(Edits, Win32DialogDrop, testing::Values(IDC_SOURCE_PATH, IDC_DEST_PATH));

TEST(Win32Dialog, ReleaseNotesComeFromTheProgramsOwnResources)
{
    std::optional<std::string> notes;
    std::optional<std::string> missing;
    Probe(AboutDialogTemplate(), [&](IDialogWindow& window) {
        notes = window.LoadTextResource(IDR_RELEASE_NOTES);
        missing = window.LoadTextResource(IDR_RELEASE_NOTES + 1000);
        window.End(EDialogResult::OK);
    });
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->rfind(std::string(50, '=') + "\r\n  Release version " MORVEX_VERSION "\r\n", 0), 0u) << *notes;
    EXPECT_EQ(notes->substr(notes->size() - 2), "\r\n");
    EXPECT_FALSE(missing);
}

} // namespace
