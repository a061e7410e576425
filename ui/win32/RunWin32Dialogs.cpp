#include "RunWin32Dialogs.h"

#include "AppNames.h"
#include "MorvexDlg.h"
#include "Usage.h"
#include "Win32Dialog.h"
#include "Win32Text.h"

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>

namespace {

// The user's application data folder, where a normal user may write.
std::filesystem::path SettingsFile(const CAppNames& names)
{
    const wchar_t* appData = _wgetenv(L"APPDATA");
    const std::filesystem::path folder = appData && *appData ? std::filesystem::path(appData) : std::filesystem::path();
    return folder / ToWide(names.settingsFileName);
}

} // namespace

int RunWin32Dialogs(const CAppNames& names, int /*argc*/, wchar_t* /*argv*/[])
{
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const CWin32Desktop desktop{GetModuleHandleW(nullptr), ToWide(names.applicationName)};
    CMorvexDlg dialog(SettingsFile(names));
    CWin32Dialog::Run(dialog, desktop, nullptr);
    return kExitSuccess;
}
