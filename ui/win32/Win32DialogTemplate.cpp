#include "Win32DialogTemplate.h"

#include "DialogTemplate.h"
#include "ResourceIds.h"
#include "Win32Text.h"

#include <commctrl.h>

namespace {

// Predefined window classes by ordinal.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kOrdinal = 0xFFFF;

DWORD EditStyle(unsigned style)
{
    DWORD edit = WS_BORDER | ES_AUTOHSCROLL;
    if (style & kMultiLine)
        edit = WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL;
    if (style & kReadOnly)
        edit |= ES_READONLY;
    if (style & kVScroll)
        edit |= WS_VSCROLL;
    return edit;
}

DWORD ButtonStyle(unsigned style)
{
    DWORD button = style & kDefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (style & kFlat)
        button |= BS_FLAT;
    return button;
}

DWORD StaticStyle(unsigned style)
{
    if (style & kIcon)
        return SS_ICON;
    return style & kPathEllipsis ? SS_LEFT | SS_PATHELLIPSIS : SS_LEFT;
}

DWORD ControlStyle(const CControlTemplate& control)
{
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (control.style & kTabStop)
        style |= WS_TABSTOP;
    switch (control.kind) {
    case EControlKind::Edit: return style | EditStyle(control.style);
    case EControlKind::PushButton: return style | ButtonStyle(control.style);
    case EControlKind::GroupBox: return style | BS_GROUPBOX;
    case EControlKind::StaticText: return style | SS_NOPREFIX | StaticStyle(control.style);
    case EControlKind::ProgressBar: return style;
    }
    return style;
}

} // namespace

CWin32DialogTemplate::CWin32DialogTemplate(
    const CDialogTemplate& dialogTemplate, std::wstring_view face, bool applicationWindow)
{
    Word(1);       // dlgVer
    Word(0xFFFF);  // signature: the extended template
    DoubleWord(0); // helpID
    DoubleWord(applicationWindow ? WS_EX_APPWINDOW : 0);
    DoubleWord(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
    Word(static_cast<WORD>(dialogTemplate.controls.size()));
    for (const int value : {0, 0, dialogTemplate.width, dialogTemplate.height})
        Word(static_cast<WORD>(value));
    Word(0);  // no menu
    Word(0);  // the dialog class
    Text(ToWide(dialogTemplate.caption));
    Word(static_cast<WORD>(dialogTemplate.fontPointSize));
    Word(FW_NORMAL);
    Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, character set
    Text(face);

    for (const CControlTemplate& control : dialogTemplate.controls) {
        AlignToDoubleWord();
        DoubleWord(0);  // helpID
        DoubleWord(0);  // exStyle
        DoubleWord(ControlStyle(control));
        for (const int value : {control.x, control.y, control.width, control.height})
            Word(static_cast<WORD>(value));
        DoubleWord(static_cast<DWORD>(control.id));
        Class(control.kind);
        if (control.style & kIcon) {
            Ordinal(IDR_MAINFRAME);
        } else {
            Text(ToWide(control.text));
        }
        Word(0);  // no creation data
    }
}

void CWin32DialogTemplate::Class(EControlKind kind)
{
    switch (kind) {
    case EControlKind::Edit: return Ordinal(kEditClass);
    case EControlKind::PushButton:
    case EControlKind::GroupBox: return Ordinal(kButtonClass);
    case EControlKind::StaticText: return Ordinal(kStaticClass);
    // The common controls have no ordinal: they go by their class names.
    case EControlKind::ProgressBar: return Text(PROGRESS_CLASSW);
    }
}

void CWin32DialogTemplate::Ordinal(WORD value)
{
    Word(kOrdinal);
    Word(value);
}

void CWin32DialogTemplate::DoubleWord(DWORD value)
{
    Word(LOWORD(value));
    Word(HIWORD(value));
}

void CWin32DialogTemplate::Text(std::wstring_view text)
{
    m_words.insert(m_words.end(), text.begin(), text.end());
    Word(0);
}

void CWin32DialogTemplate::AlignToDoubleWord()
{
    if (m_words.size() % 2 != 0)
        Word(0);
}
