#include "ProgressJob.h"
#include "ResourceIds.h"
#include "Win32ProgressWindow.h"
#include "Win32Text.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

// What the progress window showed once it was up.
struct CSeen
{
    CSeen(CProgressJob& watched, std::chrono::steady_clock::time_point deadline)
        : job(watched)
        , giveUp(deadline)
    {
    }

    CProgressJob& job;
    // A window that never shows fails the test rather than hanging it.
    std::chrono::steady_clock::time_point giveUp;
    bool shown = false;
    std::string caption;
    std::string source;
    bool pathEllipsis = false;
    std::wstring barClass;
    bool marquee = false;
    int barMaximum = -1;
    std::string cancel;
};

CSeen* g_pSeen = nullptr;

std::string TextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()) + 1);
    return ToUtf8(text);
}

// Plays the user: looks at the window once it shows, then closes it.
void CALLBACK LookAndClose(HWND, UINT, UINT_PTR, DWORD)
{
    CSeen& seen = *g_pSeen;
    if (std::chrono::steady_clock::now() > seen.giveUp)
        seen.job.Cancel();
    HWND window = FindWindowW(nullptr, L"변환 중");
    if (!window || !IsWindowVisible(window) || seen.shown)
        return;
    seen.shown = true;
    seen.caption = TextOf(window);
    HWND source = GetDlgItem(window, IDC_PROGRESS_SOURCE);
    seen.source = TextOf(source);
    seen.pathEllipsis = (GetWindowLongW(source, GWL_STYLE) & SS_ELLIPSISMASK) == SS_PATHELLIPSIS;
    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    wchar_t className[32] = {};
    GetClassNameW(bar, className, 32);
    seen.barClass = className;
    seen.marquee = (GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE) != 0;
    seen.barMaximum = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
    seen.cancel = TextOf(GetDlgItem(window, IDCANCEL));
    PostMessageW(window, WM_CLOSE, 0, 0);
}

// A source with a size, or one without (a busy bar).
struct BarCase
{
    const char* name;
    bool sourceHasSize;
    bool marquee;
};

void PrintTo(const BarCase& c, std::ostream* out)
{
    *out << c.name;
}

class Win32ProgressWindow : public testing::TestWithParam<BarCase>
{};

TEST_P(Win32ProgressWindow, ShowsTheTemplatesControlsAndCloseCancels)
{
    const BarCase& c = GetParam();
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "morvex-progress-source.bin";
    std::ofstream(file, std::ios::binary) << std::string(4000, 'x');
    const std::string source = c.sourceHasSize ? ToUtf8(file.wstring()) : "NUL";
    CProgressJob job(source, [](const ProgressCallback& progress) {
        for (std::uint64_t read = 0; progress(read); read += 100)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    CSeen seen(job, std::chrono::steady_clock::now() + std::chrono::seconds(30));
    g_pSeen = &seen;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, LookAndClose);
    const CWin32Desktop desktop{GetModuleHandleW(nullptr), L"Morvex"};
    RunWin32ProgressWindow(job, desktop, nullptr);
    KillTimer(nullptr, timer);
    g_pSeen = nullptr;
    std::filesystem::remove(file);

    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(job.Cancelled());
    EXPECT_EQ(seen.caption, "변환 중");
    EXPECT_EQ(seen.source, source);
    EXPECT_TRUE(seen.pathEllipsis);
    EXPECT_EQ(seen.barClass, L"msctls_progress32");
    EXPECT_EQ(seen.marquee, c.marquee);
    if (!c.marquee) {
        EXPECT_EQ(seen.barMaximum, CProgressJob::kProgressScale);
    }
    EXPECT_EQ(seen.cancel, "취소");
}

INSTANTIATE_TEST_SUITE_P(Sources, Win32ProgressWindow,
    testing::Values(BarCase{"File", true, false}, BarCase{"Device", false, true}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
