#include "CommandLine.h"
#include "DisplayFailureExit.h"
#include "MorvexApp.h"
#include "MorvexDlg.h"
#include "QtPlatformServices.h"

#include <QApplication>

#include <memory>

namespace {

// A display that cannot be opened ends the program with a usage error
// rather than the toolkit's abort.
std::unique_ptr<QApplication> OpenApplication(int& argc, char* argv[])
{
    const CDisplayFailureExit exitOnFailure;
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace

// The entry of the dialogs module, which the program loads only for dialog
// mode (after it has made sure there is a display).
extern "C" __attribute__((visibility("default"))) int MorvexRunDialogs(CMorvexApp& app, int argc, char* argv[])
{
    const auto application = OpenApplication(argc, argv);
    CQtPlatformServices services(app.Names());
    CMorvexDlg dialog(services);
    dialog.DoModal();
    return kExitSuccess;
}
