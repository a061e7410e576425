#include "Win32Fonts.h"

#include "Win32Text.h"

#include <windows.h>

#include <initializer_list>

namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool IsInstalled(const std::wstring& face)
{
    LOGFONTW font{};
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &font, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// The first installed face; the last one when none is.
std::wstring FirstInstalled(std::initializer_list<const wchar_t*> faces)
{
    for (const wchar_t* face : faces)
        if (IsInstalled(face))
            return face;
    return *(faces.end() - 1);
}

} // namespace

std::wstring DialogFace(std::string_view templateFace)
{
    const std::wstring face = ToWide(templateFace);
    if (IsInstalled(face))
        return face;
    // Under a Korean locale faces may be listed by their Korean names only.
    // NanumGothic draws no more than the tip of the arrows in the buttons'
    // texts, so NanumBarunGothic comes first.
    return FirstInstalled({L"굴림", L"Gulim", L"Malgun Gothic", L"맑은 고딕", L"NanumBarunGothic", L"나눔바른고딕",
        L"NanumGothic", L"나눔고딕", L"MS Shell Dlg"});
}

std::wstring FixedWidthFace()
{
    return FirstInstalled({L"굴림체", L"GulimChe", L"NanumGothicCoding", L"나눔고딕코딩", L"Courier New"});
}
