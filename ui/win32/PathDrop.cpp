#include "PathDrop.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr UINT_PTR kPathDropSubclass = 1;

LRESULT CALLBACK EditWithDrop(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_DROPFILES) {
        const auto drop = reinterpret_cast<HDROP>(wParam);
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        if (length > 0) {
            std::wstring path(length, L'\0');
            DragQueryFileW(drop, 0, path.data(), length + 1);
            SetWindowTextW(edit, path.c_str());
        }
        DragFinish(drop);
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(edit, EditWithDrop, kPathDropSubclass);
    return DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace

void AcceptDroppedPaths(HWND edit)
{
    SetWindowSubclass(edit, EditWithDrop, kPathDropSubclass, 0);
    DragAcceptFiles(edit, TRUE);
}
