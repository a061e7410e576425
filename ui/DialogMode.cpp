#include "DialogMode.h"

#include "CommandLine.h"
#include "MorvexApp.h"
#include "MorvexDlg.h"
#include "QtPlatformServices.h"

#include <QApplication>

#include <iostream>

namespace {

// Without a display Qt would abort; an explicit platform (offscreen, for
// instance) needs none.
bool HasDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

} // namespace

int RunDialogMode(CMorvexApp& app, int argc, char* argv[])
{
    if (!HasDisplay()) {
        std::cerr << "morvex: cannot open the dialogs: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n";
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    QApplication application(argc, argv);
    CQtPlatformServices services(app.Names());
    CMorvexDlg dialog(services);
    dialog.DoModal();
    return kExitSuccess;
}
