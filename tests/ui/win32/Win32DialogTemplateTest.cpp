#include "DialogTemplates.h"
#include "Win32DialogTemplate.h"
#include "Win32Text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

INT_PTR CALLBACK Silent(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return name;
}

std::string TextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()) + 1);
    return ToUtf8(text);
}

const wchar_t* ExpectedClass(EControlKind kind)
{
    switch (kind) {
    case EControlKind::Edit: return L"Edit";
    case EControlKind::PushButton:
    case EControlKind::GroupBox: return L"Button";
    case EControlKind::StaticText: return L"Static";
    case EControlKind::ProgressBar: return L"msctls_progress32";
    }
    return L"";
}

// The dialog Windows builds from each template, created modeless so that
// the test can look at it.
class Win32DialogTemplate : public testing::TestWithParam<const CDialogTemplate*>
{
protected:
    void SetUp() override
    {
        m_dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), m_resource.Get(), nullptr, Silent, 0);
        ASSERT_NE(m_dialog, nullptr) << GetLastError();
    }
    void TearDown() override { DestroyWindow(m_dialog); }

    const CDialogTemplate& m_template = *GetParam();
    const CWin32DialogTemplate m_resource{m_template, L"Tahoma", false};
    HWND m_dialog = nullptr;
};

TEST_P(Win32DialogTemplate, HoldsEveryControlInTemplateOrderWithItsKindTextStyleAndPlace)
{
    EXPECT_EQ(TextOf(m_dialog), m_template.caption);
    HWND child = GetWindow(m_dialog, GW_CHILD);
    for (const CControlTemplate& control : m_template.controls) {
        ASSERT_NE(child, nullptr) << control.text;
        EXPECT_EQ(GetDlgCtrlID(child), control.id) << control.text;
        EXPECT_EQ(ClassOf(child), ExpectedClass(control.kind)) << control.text;
        if (!(control.style & kIcon)) {
            EXPECT_EQ(TextOf(child), control.text);
        }
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        EXPECT_EQ((style & WS_TABSTOP) != 0, (control.style & kTabStop) != 0) << control.text;
        if (control.kind == EControlKind::PushButton) {
            EXPECT_EQ((style & 0xF) == BS_DEFPUSHBUTTON, (control.style & kDefaultButton) != 0) << control.text;
        }
        if (control.kind == EControlKind::StaticText) {
            EXPECT_EQ((style & SS_ELLIPSISMASK) == SS_PATHELLIPSIS, (control.style & kPathEllipsis) != 0)
                << control.text;
        }
        if (control.kind == EControlKind::Edit) {
            EXPECT_EQ((style & ES_READONLY) != 0, (control.style & kReadOnly) != 0) << control.text;
            EXPECT_EQ((style & ES_MULTILINE) != 0, (control.style & kMultiLine) != 0) << control.text;
        }
        // An icon takes the icon's size; every other control its place in
        // dialog units, origin and size each converted on its own.
        if (!(control.style & kIcon)) {
            RECT expected{control.x, control.y, control.width, control.height};
            MapDialogRect(m_dialog, &expected);
            RECT placed;
            GetWindowRect(child, &placed);
            MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&placed), 2);
            EXPECT_EQ(placed.left, expected.left) << control.text;
            EXPECT_EQ(placed.top, expected.top) << control.text;
            EXPECT_EQ(placed.right - placed.left, expected.right) << control.text;
            EXPECT_EQ(placed.bottom - placed.top, expected.bottom) << control.text;
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more windows than controls";

    RECT size{0, 0, m_template.width, m_template.height};
    MapDialogRect(m_dialog, &size);
    RECT client;
    GetClientRect(m_dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
}

INSTANTIATE_TEST_SUITE_P(Templates, Win32DialogTemplate,
    testing::Values(&MainDialogTemplate(), &UnitDialogTemplate(), &AboutDialogTemplate(), &ProgressWindowTemplate()));

} // namespace
