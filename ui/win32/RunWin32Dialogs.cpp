#include "RunWin32Dialogs.h"

#include "AppNames.h"
#include "MorvexDlg.h"
#include "SettingsLocation.h"
#include "Usage.h"
#include "Win32Dialog.h"
#include "Win32Text.h"

#include <commctrl.h>
#include <objbase.h>

int RunWin32Dialogs(const CAppNames& names, const std::string& sourcePath)
{
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    // The accessibility services the dialogs name their edit boxes through.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const CWin32Desktop desktop{GetModuleHandleW(nullptr), ToWide(names.applicationName)};
    CMorvexDlg dialog(LocateSettings(names.settingsFileName));
    dialog.m_strSourcePath = sourcePath;
    CWin32Dialog::Run(dialog, desktop, nullptr);
    if (SUCCEEDED(com))
        CoUninitialize();
    return kExitSuccess;
}
