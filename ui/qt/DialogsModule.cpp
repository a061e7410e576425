#include "AppNames.h"
#include "DisplayFailureExit.h"
#include "MorvexDlg.h"
#include "QtDialog.h"
#include "QtPlatformServices.h"
#include "SettingsLocation.h"
#include "ToolkitSetup.h"
#include "Usage.h"

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
// mode (after it has made sure there is a display). The program finds it by
// name (app/DialogModeLoader.cpp), so no header declares it.
extern "C" __attribute__((visibility("default"))) int MorvexRunDialogs(
    const CAppNames& names, const std::string& sourcePath, int argc, char* argv[]);

extern "C" __attribute__((visibility("default"))) int MorvexRunDialogs(
    const CAppNames& names, const std::string& sourcePath, int argc, char* argv[])
{
    const auto application = OpenApplication(argc, argv);
    InstallKoreanToolkitTexts(*application);
    UseUserLanguageForSystemTexts();
    KeepToolkitStateUnsaved();
    CQtPlatformServices services(names);
    CMorvexDlg dialog(LocateSettings(names.settingsFileName));
    dialog.m_strSourcePath = sourcePath;
    CQtDialog::Run(dialog, services, nullptr);
    return kExitSuccess;
}
