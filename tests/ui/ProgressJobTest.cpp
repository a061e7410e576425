#include "ProgressJob.h"
#include "TempDir.h"

#include <gtest/gtest.h>

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
{};

TEST_P(ProgressJobPosition, MeasuresBytesReadAgainstTheSourceSize)
{
    const CTempDir dir;
    const auto& c = GetParam();
    const std::string source = c.fileSize ? dir.Write("source", std::string(*c.fileSize, 'x')) : "/dev/zero";
    CProgressJob job(source, [&](const ProgressCallback& progress) { progress(c.bytesRead); });
    job.Run();
    EXPECT_EQ(job.ProgressPosition(), c.position);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, ProgressJobPosition,
    testing::Values(
        PositionCase{"Start", 4000, 0, 0},
        PositionCase{"Quarter", 4000, 1000, 250},
        PositionCase{"End", 4000, 4000, 1000},
        PositionCase{"GrownWhileRead", 4000, 9000, 1000},
        PositionCase{"EmptyFile", 0, 0, 1000},
        PositionCase{"Device", std::nullopt, 5000, std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

// Without the cancel reaching the work, Wait would never return.
TEST(ProgressJob, CancelFromAnotherThreadStopsEndlessWork)
{
    std::uint64_t chunks = 0;
    CProgressJob job("/dev/zero", [&](const ProgressCallback& progress) {
        while (progress(++chunks)) {}
    });
    job.Start();
    job.Cancel();
    job.Wait();
    EXPECT_TRUE(job.Finished());
    EXPECT_TRUE(job.Cancelled());
}

} // namespace
