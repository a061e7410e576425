#include "InterruptCleanup.h"

#include "fileio/PendingFiles.h"

#include <cstdlib>
#include <exception>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace {

#ifdef _WIN32
BOOL WINAPI OnConsoleControl(DWORD)
{
    RemovePendingFiles();
    return FALSE;   // the default handler ends the process
}
#else
void OnInterrupt(int signalNumber)
{
    RemovePendingFiles();
    // Neither fails for the signal this handler was called for.
    (void)std::signal(signalNumber, SIG_DFL);
    (void)std::raise(signalNumber);
}
#endif

} // namespace

void RemoveTemporaryFilesOnInterrupt()
{
    // The last resort of an exception nothing caught.
    static const std::terminate_handler previousTerminate = std::set_terminate([] {
        RemovePendingFiles();
        previousTerminate ? previousTerminate() : std::abort();
    });
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
    struct sigaction action{};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // SIGXFSZ: a file grown past the caller's size limit.
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ}) {
        // A signal the caller chose to ignore (nohup, a background job) stays ignored.
        struct sigaction previous{};
        if (sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            sigaction(signalNumber, &action, nullptr);
    }
#endif
}
