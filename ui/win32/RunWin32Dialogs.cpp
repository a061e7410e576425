#include "RunWin32Dialogs.h"

#include "AppNames.h"
#include "MorvexDlg.h"
#include "SettingsLocation.h"
#include "Usage.h"
#include "Win32Dialog.h"
#include "Win32Text.h"

#include <commctrl.h>


int RunWin32Dialogs(const CAppNames& names)
{
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const CWin32Desktop desktop{GetModuleHandleW(nullptr), ToWide(names.applicationName)};
    CMorvexDlg dialog(LocateSettings(names.settingsFileName));
    CWin32Dialog::Run(dialog, desktop, nullptr);
    return kExitSuccess;
}
