#include "Win32Dialog.h"

#include "Dialog.h"
#include "DialogTemplate.h"
#include "PathDrop.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "Win32AccessibleName.h"
#include "Win32DialogTemplate.h"
#include "Win32Fonts.h"
#include "Win32ProgressWindow.h"
#include "Win32SystemText.h"
#include "Win32Text.h"

#include <commdlg.h>
#include <shellapi.h>

// morvex.rc writes these ids out by number.
static_assert(IDR_MAINFRAME == 128 && IDR_RELEASE_NOTES == 130);

namespace {

// The release notes' cell height in pixels at 96 dots per inch.
constexpr int kFixedWidthCellHeight = 12;
constexpr int kChooserPathLength = MAX_PATH;

bool IsEdit(HWND control)
{
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    return lstrcmpiW(className, L"Edit") == 0;
}

HICON LoadIconOfSize(HINSTANCE instance, int iconId, int widthMetric, int heightMetric)
{
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, GetSystemMetrics(widthMetric),
        GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

} // namespace

CWin32Dialog::CWin32Dialog(CDialog& dialog, const CWin32Desktop& desktop)
    : m_dialog(dialog)
    , m_desktop(desktop)
{
}

CWin32Dialog::~CWin32Dialog()
{
    // The window and its controls are gone by now.
    if (m_hFixedWidthFont)
        DeleteObject(m_hFixedWidthFont);
    for (HICON icon : {m_hIcon, m_hSmallIcon})
        if (icon)
            DestroyIcon(icon);
}

EDialogResult CWin32Dialog::Run(CDialog& dialog, const CWin32Desktop& desktop, HWND owner)
{
    CWin32Dialog window(dialog, desktop);
    const CDialogTemplate& dialogTemplate = dialog.Template();
    const CWin32DialogTemplate resource(dialogTemplate, DialogFace(dialogTemplate.fontFace), owner == nullptr);
    const INT_PTR result = DialogBoxIndirectParamW(
        desktop.instance, resource.Get(), owner, DialogProc, reinterpret_cast<LPARAM>(&window));
    return result == IDOK ? EDialogResult::OK : EDialogResult::Cancel;
}

INT_PTR CALLBACK CWin32Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CWin32Dialog*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        self->m_hWnd = window;
        self->OnInitDialog();
        // The dialog has put the focus where it wants it.
        return FALSE;
    }
    auto* self = reinterpret_cast<CWin32Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->OnMessage(message, wParam) : FALSE;
}

void CWin32Dialog::OnInitDialog()
{
    for (const CControlTemplate& control : m_dialog.Template().controls)
        if (control.style & kAcceptFiles)
            AcceptDroppedPaths(GetDlgItem(m_hWnd, control.id));
    m_dialog.InitDialog(*this);
}

INT_PTR CWin32Dialog::OnMessage(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_COMMAND:
        // Clicks, Enter and Escape; the edit boxes' notifications go unheard.
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        m_dialog.OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_CLOSE: m_dialog.OnCommand(IDCANCEL); return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != IDM_ABOUTBOX)
            return FALSE;
        m_dialog.OnCommand(IDM_ABOUTBOX);
        return TRUE;
    case WM_HELP: m_dialog.OnHelp(); return TRUE;
    case WM_PAINT: return PaintIconWhileMinimised();
    case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(m_hIcon);
    default: return FALSE;
    }
}

bool CWin32Dialog::PaintIconWhileMinimised()
{
    if (!IsIconic(m_hWnd) || !m_hIcon)
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
    return true;
}

std::string CWin32Dialog::ControlText(int id) const
{
    HWND control = GetDlgItem(m_hWnd, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)), L'\0');
    GetWindowTextW(control, text.data(), static_cast<int>(text.size()) + 1);
    return ToUtf8(text);
}

void CWin32Dialog::SetControlText(int id, std::string_view text)
{
    SetDlgItemTextW(m_hWnd, id, ToWide(text).c_str());
}

void CWin32Dialog::EnableControl(int id, bool enabled)
{
    HWND control = GetDlgItem(m_hWnd, id);
    EnableWindow(control, enabled);
    // Nobody can scroll a disabled box, so it shows where its text begins.
    if (!enabled && IsEdit(control)) {
        SendMessageW(control, EM_SETSEL, 0, 0);
        SendMessageW(control, EM_SCROLLCARET, 0, 0);
    }
}

void CWin32Dialog::FocusControl(int id)
{
    HWND control = GetDlgItem(m_hWnd, id);
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (IsEdit(control))
        SendMessageW(control, EM_SETSEL, 0, -1);
}

void CWin32Dialog::SetCaption(std::string_view caption)
{
    SetWindowTextW(m_hWnd, ToWide(caption).c_str());
}

void CWin32Dialog::SetIcon(int iconId)
{
    m_hIcon = LoadIconOfSize(m_desktop.instance, iconId, SM_CXICON, SM_CYICON);
    m_hSmallIcon = LoadIconOfSize(m_desktop.instance, iconId, SM_CXSMICON, SM_CYSMICON);
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
}

void CWin32Dialog::SetFixedWidthFont(int id)
{
    const int height
        = MulDiv(kFixedWidthCellHeight, static_cast<int>(GetDpiForWindow(m_hWnd)), USER_DEFAULT_SCREEN_DPI);
    m_hFixedWidthFont = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, FixedWidthFace().c_str());
    SendDlgItemMessageW(m_hWnd, id, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFixedWidthFont), FALSE);
}

void CWin32Dialog::AddAboutEntry(std::string_view text)
{
    HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE);
    if (!systemMenu)
        return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, ToWide(text).c_str());
}

void CWin32Dialog::End(EDialogResult result)
{
    EndDialog(m_hWnd, result == EDialogResult::OK ? IDOK : IDCANCEL);
}

void CWin32Dialog::SetAccessibleName(int id, std::string_view name)
{
    SetWin32AccessibleName(GetDlgItem(m_hWnd, id), name);
}

void CWin32Dialog::ShowMessage(std::string_view text, std::string_view details)
{
    // A message box has no room for details of its own: they follow the
    // text after an empty line.
    std::string shown(text);
    if (!details.empty())
        shown.append("\n\n").append(details);
    MessageBoxW(m_hWnd, ToWide(shown).c_str(), m_desktop.applicationName.c_str(), MB_OK | MB_ICONWARNING);
}

void CWin32Dialog::RunWithProgress(CProgressJob& job)
{
    RunWin32ProgressWindow(job, m_desktop, m_hWnd);
}

std::optional<std::string> CWin32Dialog::ChooseFile(EFileChoice choice)
{
    wchar_t path[kChooserPathLength] = {};
    // The filter's name, then its pattern, each ending in a null, and an
    // empty string to end the list.
    using namespace std::string_literals;
    const std::wstring filter = ToWide(LoadResString(IDS_ALL_FILES)) + L"\0*.*\0"s;
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = m_hWnd;
    chooser.lpstrFilter = filter.c_str();
    chooser.lpstrFile = path;
    chooser.nMaxFile = kChooserPathLength;
    // The read-only box stays shown; its state is not asked for.
    chooser.Flags = OFN_EXPLORER | OFN_ENABLESIZING;
    if (choice == EFileChoice::ExistingSource) {
        chooser.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
        chooser.lpstrDefExt = L"*.*";
    } else {
        chooser.Flags |= OFN_CREATEPROMPT;
    }
    if (!GetOpenFileNameW(&chooser))
        return std::nullopt;
    return ToUtf8(path);
}

EDialogResult CWin32Dialog::RunModal(CDialog& dialog)
{
    return Run(dialog, m_desktop, m_hWnd);
}

void CWin32Dialog::OpenAddress(std::string_view address)
{
    // Whether a browser starts is not our business; nothing is reported.
    ShellExecuteW(nullptr, L"open", ToWide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::optional<std::string> CWin32Dialog::LoadTextResource(int id) const
{
    HRSRC found = FindResourceW(m_desktop.instance, MAKEINTRESOURCEW(id), L"TXT");
    HGLOBAL loaded = found ? LoadResource(m_desktop.instance, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return std::nullopt;
    return std::string(static_cast<const char*>(bytes), SizeofResource(m_desktop.instance, found));
}

std::string CWin32Dialog::LocalSystemText(int errorNumber) const
{
    return UserLanguageSystemText(errorNumber);
}
