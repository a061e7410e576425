#include "AppNames.h"
#include "MorvexDlg.h"
#include "QtDialog.h"
#include "QtPlatformServices.h"
#include "Usage.h"

#include <QApplication>

// The entry of the dialogs module, which the program loads only for dialog
// mode (after it has made sure there is a display).
extern "C" __attribute__((visibility("default"))) int MorvexRunDialogs(const CAppNames& names, int argc, char* argv[])
{
    QApplication application(argc, argv);
    CQtPlatformServices services(names);
    CMorvexDlg dialog(services.SettingsFilePath());
    CQtDialog::Run(dialog, services, nullptr);
    return kExitSuccess;
}
