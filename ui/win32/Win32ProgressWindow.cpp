#include "Win32ProgressWindow.h"

#include "DialogTemplate.h"
#include "ProgressJob.h"
#include "Win32DialogTemplate.h"
#include "Win32Fonts.h"
#include "Win32Text.h"

#include <commctrl.h>

#include <array>
#include <chrono>

namespace {

constexpr int kSourceTextId = 100;
constexpr int kBarPlaceId = 101;
constexpr int kBarId = 102;
constexpr UINT_PTR kRefreshTimer = 1;
// How often the bar moves and the job's end is noticed; well inside the
// time a cancel may take.
constexpr UINT kRefreshMilliseconds = 50;

constexpr std::array kControls = {
    CControlTemplate{kSourceTextId, EControlKind::StaticText, "", kNoStyle, 7, 7, 186, 8},
    CControlTemplate{kBarPlaceId, EControlKind::StaticText, "", kNoStyle, 7, 20, 186, 10},
    CControlTemplate{IDCANCEL, EControlKind::PushButton, "취소", kTabStop | kDefaultButton, 75, 38, 50, 14},
};
constexpr CDialogTemplate kTemplate = {"변환 중", 200, 60, "굴림", 9, kControls};

void RefreshBar(HWND window, const CProgressJob& job)
{
    if (const auto position = job.ProgressPosition())
        SendDlgItemMessageW(window, kBarId, PBM_SETPOS, static_cast<WPARAM>(*position), 0);
}

// The bar takes the place the template keeps for it: a busy one for a
// source of unknown size.
void CreateBar(HWND window, const CProgressJob& job)
{
    HWND place = GetDlgItem(window, kBarPlaceId);
    RECT area;
    GetWindowRect(place, &area);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
    DestroyWindow(place);
    const bool busy = !job.ProgressPosition();
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | (busy ? PBS_MARQUEE : 0), area.left,
        area.top, area.right - area.left, area.bottom - area.top, window, reinterpret_cast<HMENU>(kBarId),
        nullptr, nullptr);
    if (busy)
        SendMessageW(bar, PBM_SETMARQUEE, TRUE, 0);
    else
        SendMessageW(bar, PBM_SETRANGE32, 0, CProgressJob::kProgressScale);
}

INT_PTR CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* job = reinterpret_cast<CProgressJob*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        job = reinterpret_cast<CProgressJob*>(lParam);
        SetDlgItemTextW(window, kSourceTextId, ToWide(job->SourcePath()).c_str());
        // Long paths keep their start and their file name.
        SetWindowLongW(GetDlgItem(window, kSourceTextId), GWL_STYLE,
            GetWindowLongW(GetDlgItem(window, kSourceTextId), GWL_STYLE) | SS_PATHELLIPSIS);
        CreateBar(window, *job);
        SetTimer(window, kRefreshTimer, kRefreshMilliseconds, nullptr);
        return TRUE;
    case WM_TIMER:
        RefreshBar(window, *job);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        job->Cancel();
        return TRUE;
    case WM_CLOSE:
        job->Cancel();
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void RunWin32ProgressWindow(CProgressJob& job, const CWin32Desktop& desktop, HWND owner)
{
    job.Start();
    // A disabled window loses the keyboard focus, which comes back afterwards.
    HWND focus = GetFocus();
    EnableWindow(owner, FALSE);
    const CWin32DialogTemplate resource(kTemplate, DialogFace(kTemplate.fontFace), false);
    HWND window = CreateDialogIndirectParamW(desktop.instance, resource.Get(), owner, ProgressProc,
        reinterpret_cast<LPARAM>(&job));
    const auto started = std::chrono::steady_clock::now();
    MSG message;
    while (!job.Finished()) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
        if (window && !IsWindowVisible(window) && job.ProgressWindowDue(elapsed))
            ShowWindow(window, SW_SHOW);
        if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
            // The program is ending: stop the work, and leave the quit for the outer loop.
            job.Cancel();
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!window || !IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    job.Wait();
    // The owner takes the activation back before the window goes, so no
    // other program's window comes to the front in between.
    EnableWindow(owner, TRUE);
    if (window)
        DestroyWindow(window);
    if (focus && IsWindow(focus))
        SetFocus(focus);
}
