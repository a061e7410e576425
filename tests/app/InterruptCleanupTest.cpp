#include "InterruptCleanup.h"
#include "PendingFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

namespace {

// Where the system has no unnamed files, a conversion's temporary file has a
// name, and an interruption must remove it before the process ends.
TEST(InterruptCleanup, AnInterruptionRemovesTheRegisteredFilesAndStillEndsTheProcess)
{
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        CTempDir dir;
        const std::string pending = dir.Write(".pending.tmp", "partial");
        const std::string kept = dir.Write("kept", "other");
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            RemoveTemporaryFilesOnInterrupt();
            RegisterPendingFile(pending);
            std::raise(signalNumber);
            _exit(0);   // not reached: the signal still ends the process
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << signalNumber;
        EXPECT_FALSE(std::filesystem::exists(pending)) << signalNumber;
        EXPECT_TRUE(std::filesystem::exists(kept)) << signalNumber;
    }
}

} // namespace
