#include "Win32ProgressWindow.h"

#include "DialogTemplates.h"
#include "ProgressJob.h"
#include "ResourceIds.h"
#include "Win32DialogTemplate.h"
#include "Win32Fonts.h"
#include "Win32Text.h"

#include <commctrl.h>

#include <chrono>

namespace {

constexpr UINT_PTR kRefreshTimer = 1;
// How often the bar moves and the job's end is noticed; well inside the
// time a cancel may take.
constexpr UINT kRefreshMilliseconds = 50;

void RefreshBar(HWND window, const CProgressJob& job)
{
    if (const auto position = job.ProgressPosition())
        SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(*position), 0);
}

// A busy bar for a source of unknown size, else one on the job's scale.
void SetUpBar(HWND window, const CProgressJob& job)
{
    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    if (job.ProgressPosition()) {
        SendMessageW(bar, PBM_SETRANGE32, 0, CProgressJob::kProgressScale);
        return;
    }
    SetWindowLongW(bar, GWL_STYLE, GetWindowLongW(bar, GWL_STYLE) | PBS_MARQUEE);
    SendMessageW(bar, PBM_SETMARQUEE, TRUE, 0);
}

INT_PTR CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* job = reinterpret_cast<CProgressJob*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        job = reinterpret_cast<CProgressJob*>(lParam);
        SetDlgItemTextW(window, IDC_PROGRESS_SOURCE, ToWide(job->SourcePath()).c_str());
        SetUpBar(window, *job);
        SetTimer(window, kRefreshTimer, kRefreshMilliseconds, nullptr);
        return TRUE;
    case WM_TIMER: RefreshBar(window, *job); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        job->Cancel();
        return TRUE;
    case WM_CLOSE: job->Cancel(); return TRUE;
    default: return FALSE;
    }
}

} // namespace

void RunWin32ProgressWindow(CProgressJob& job, const CWin32Desktop& desktop, HWND owner)
{
    job.Start();
    // A disabled window loses the keyboard focus, which comes back afterwards.
    HWND focus = GetFocus();
    EnableWindow(owner, FALSE);
    const CDialogTemplate& dialogTemplate = ProgressWindowTemplate();
    const CWin32DialogTemplate resource(dialogTemplate, DialogFace(dialogTemplate.fontFace), false);
    HWND window = CreateDialogIndirectParamW(
        desktop.instance, resource.Get(), owner, ProgressProc, reinterpret_cast<LPARAM>(&job));
    const auto started = std::chrono::steady_clock::now();
    MSG message;
    while (!job.Finished()) {
        const auto elapsed
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
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
