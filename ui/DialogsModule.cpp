#include "CommandLine.h"
#include "MorvexApp.h"
#include "MorvexDlg.h"
#include "QtPlatformServices.h"

#include <QApplication>

// The entry of the dialogs module, which the program loads only for dialog
// mode (after it has made sure there is a display).
extern "C" __attribute__((visibility("default"))) int MorvexRunDialogs(CMorvexApp& app, int argc, char* argv[])
{
    QApplication application(argc, argv);
    CQtPlatformServices services(app.Names());
    CMorvexDlg dialog(services);
    dialog.DoModal();
    return kExitSuccess;
}
