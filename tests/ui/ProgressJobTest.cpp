#include "ProgressJob.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

// Where the bar stands once the work has reported the given bytes.
struct PositionCase
{
    const char* name;
    std::optional<std::size_t> fileSize;  // nothing: a device with no size
    std::uint64_t bytesRead;
    std::optional<int> position;
};

class ProgressJobPosition : public testing::TestWithParam<PositionCase>
{
};

TEST_P(ProgressJobPosition, MeasuresBytesReadAgainstTheSourceSize)
{
    const CTempDir dir;
    const auto& c = GetParam();
    const std::string source = c.fileSize ? dir.Write("source", std::string(*c.fileSize, 'x')) : "/dev/zero";
    CProgressJob job(source, [&](const ProgressCallback& progress) { progress(c.bytesRead); });
    job.Run();
    EXPECT_EQ(job.ProgressPosition(), c.position);
}

INSTANTIATE_TEST_SUITE_P(Sources, ProgressJobPosition,
    testing::Values(
        PositionCase{"Start", 4000, 0, 0},
        PositionCase{"Quarter", 4000, 1000, 250},
        PositionCase{"End", 4000, 4000, 1000},
        PositionCase{"GrownWhileRead", 4000, 9000, 1000},
        PositionCase{"EmptyFile", 0, 0, 1000},
        PositionCase{"Device", std::nullopt, 5000, std::nullopt},
        PositionCase{"Missing", std::nullopt, 0, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
TEST(ProgressJob, PipeHasNoSize)
{
    const CTempDir dir;
    const std::string pipe = dir.Path("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const CProgressJob job(pipe, [](const ProgressCallback&) {});
    EXPECT_EQ(job.ProgressPosition(), std::nullopt);
}
#endif

TEST(ProgressJob, CancelFromAnotherThreadStopsEndlessWork)
{
    std::uint64_t chunks = 0;
    CProgressJob job("/dev/zero", [&](const ProgressCallback& progress) {
        while (progress(++chunks)) {
        }
    });
    job.Start();
    job.Cancel();
    job.Wait();
    EXPECT_TRUE(job.Finished());
    EXPECT_TRUE(job.Cancelled());
    EXPECT_GE(chunks, 1u);
}

TEST(ProgressJob, WindowIsDueOnlyAfterTheDelayAndWhileRunning)
{
    CProgressJob job("/dev/zero", [&](const ProgressCallback&) {
        EXPECT_FALSE(job.ProgressWindowDue(CProgressJob::kProgressWindowDelay - std::chrono::milliseconds(1)));
        EXPECT_TRUE(job.ProgressWindowDue(CProgressJob::kProgressWindowDelay));
    });
    job.Run();
    EXPECT_FALSE(job.ProgressWindowDue(CProgressJob::kProgressWindowDelay));
}

} // namespace
