#include "Win32Fonts.h"

#include "FontFaces.h"
#include "Win32Text.h"

#include <windows.h>

#include <span>

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

// The face where it is installed, else the first installed stand-in; the
// last stand-in when none is.
std::wstring FirstInstalled(std::string_view face, std::span<const std::string_view> standIns)
{
    if (const std::wstring wide = ToWide(face); IsInstalled(wide))
        return wide;
    for (const std::string_view standIn : standIns)
        if (const std::wstring wide = ToWide(standIn); IsInstalled(wide))
            return wide;
    return ToWide(standIns.back());
}

} // namespace

std::wstring DialogFace(std::string_view templateFace)
{
    return FirstInstalled(templateFace, kWin32DialogFaceStandIns);
}

std::wstring FixedWidthFace()
{
    return FirstInstalled(kFixedWidthFace, kWin32FixedWidthStandIns);
}
