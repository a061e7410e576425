#include "DisplayFailureExit.h"

#include "DisplayError.h"
#include "Usage.h"

#include <QtGlobal>

#include <cstdlib>
#include <iostream>

namespace {

QtMessageHandler g_previous = nullptr;

void ExitOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (g_previous)
        g_previous(type, context, message);
    if (type != QtFatalMsg)
        return;
    ReportUnopenableDisplay(std::cerr, DisplayInUse());
    std::cerr.flush();
    std::_Exit(kExitUsage);
}

} // namespace

CDisplayFailureExit::CDisplayFailureExit()
{
    g_previous = qInstallMessageHandler(ExitOnFatal);
}

CDisplayFailureExit::~CDisplayFailureExit()
{
    qInstallMessageHandler(g_previous);
    g_previous = nullptr;
}
