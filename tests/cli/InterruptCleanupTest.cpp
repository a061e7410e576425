#include "InterruptCleanup.h"
#include "fileio/PendingFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <exception>
#include <filesystem>
#include <functional>

namespace {

struct Ending
{
    const char* name;
    std::function<void()> end;
    int expectedSignal;
};

// Where the system has no unnamed files, a conversion's temporary file has a
// name, and whatever ends the process must remove it first.
TEST(InterruptCleanup, EveryEndingRemovesTheRegisteredFilesAndStillEndsTheProcess)
{
    const Ending endings[] = {
        {"SIGINT", [] { std::raise(SIGINT); }, SIGINT},
        {"SIGTERM", [] { std::raise(SIGTERM); }, SIGTERM},
        {"SIGHUP", [] { std::raise(SIGHUP); }, SIGHUP},
        {"SIGQUIT", [] { std::raise(SIGQUIT); }, SIGQUIT},
        {"SIGXFSZ", [] { std::raise(SIGXFSZ); }, SIGXFSZ},
        {"uncaught exception", [] { std::terminate(); }, SIGABRT},
    };
    for (const Ending& ending : endings) {
        CTempDir dir;
        const std::string pending = dir.Write(".pending.tmp", "partial");
        const std::string relative = dir.Write(".relative.tmp", "partial");
        const std::string kept = dir.Write("kept", "other");
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            RemoveTemporaryFilesOnInterrupt();
            RegisterPendingFile(pending);
            RegisterPendingFile(".relative.tmp", open(dir.Root().c_str(), O_RDONLY | O_DIRECTORY));
            ending.end();
            _exit(0);   // not reached: the ending still ends the process
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == ending.expectedSignal) << ending.name;
        EXPECT_FALSE(std::filesystem::exists(pending)) << ending.name;
        EXPECT_FALSE(std::filesystem::exists(relative)) << ending.name;
        EXPECT_TRUE(std::filesystem::exists(kept)) << ending.name;
    }
}

} // namespace
