// The batch size of long operations on timer ticks, learnt from batches whose work takes a fixed
// time per record and whose commit a fixed time per batch (as a disk's syncs do).

#include "platform/ui/BatchSize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// Runs `batches` batches of the simulated operation; answers the size of the next one. `largestStep`
// receives the largest growth from one batch to the next, rounded up.
int Learn(ui::TBatchSize& size, microseconds perRecord, milliseconds commit, int batches,
          int* largestStep = nullptr)
{
    int count = size.Next();
    for (int i = 0; i < batches; ++i) {
        size.Took(count, perRecord * count, commit);
        if (largestStep != nullptr)
            *largestStep = std::max(*largestStep, (size.Next() + count - 1) / count);
        count = size.Next();
    }
    return count;
}

struct DiskCase {
    int commitMs;
    int records; // the batch the size settles on, 10 µs a record, 100 ms a tick
};

class BatchSizeDiskTest : public ::testing::TestWithParam<DiskCase> {};

// The records get what the commit leaves of the tick, but at least as long as the commit and at
// most the whole tick.
TEST_P(BatchSizeDiskTest, WorkGetsWhatTheCommitLeavesYetNoLessThanTheCommitUpToTheTarget)
{
    ui::TBatchSize size(1000, milliseconds(100));
    int largestStep = 0;
    const int settled = Learn(size, microseconds(10), milliseconds(GetParam().commitMs), 12, &largestStep);
    EXPECT_NEAR(settled, GetParam().records, GetParam().records / 100);
    EXPECT_LE(largestStep, 4);
}

INSTANTIATE_TEST_SUITE_P(Disks, BatchSizeDiskTest,
                         ::testing::Values(DiskCase{0, 10000}, DiskCase{20, 8000}, DiskCase{50, 5000},
                                           DiskCase{70, 7000}, DiskCase{100, 10000}, DiskCase{300, 10000}),
                         [](const ::testing::TestParamInfo<DiskCase>& disk) {
                             return "Commit" + std::to_string(disk.param.commitMs) + "ms";
                         });

TEST(BatchSizeTest, ShrinksAtMostToAQuarterAtATimeAndNeverBelowOneRecord)
{
    ui::TBatchSize size(1000, milliseconds(30));
    size.Took(1000, std::chrono::seconds(10));
    EXPECT_EQ(size.Next(), 250);
    EXPECT_EQ(Learn(size, std::chrono::seconds(1), milliseconds(0), 10), 1);
    size.Took(1, std::chrono::seconds(0));
    EXPECT_EQ(size.Next(), 4); // a batch too fast to measure grows fourfold
}

// A slow commit among fast ones moves the estimate halfway: the next batch gets more work, so the
// disk's hiccup is spread over more records, and the size comes back once the commits are fast.
TEST(BatchSizeTest, ASlowCommitGivesTheNextBatchMoreWorkAndTheSizeComesBack)
{
    ui::TBatchSize size(1000, milliseconds(100));
    ASSERT_EQ(Learn(size, microseconds(10), milliseconds(20), 12), 8000);
    size.Took(8000, milliseconds(80), milliseconds(200));
    EXPECT_EQ(size.Next(), 10000);
    EXPECT_NEAR(Learn(size, microseconds(10), milliseconds(20), 12), 8000, 80);
}

TEST(BatchSizeTest, ResetStartsOverAndForgetsTheDisk)
{
    ui::TBatchSize size(1000, milliseconds(100));
    Learn(size, microseconds(10), milliseconds(300), 12);
    size.Reset();
    EXPECT_EQ(size.Next(), 1000);
    size.Took(1000, milliseconds(20), milliseconds(50));
    EXPECT_EQ(size.Next(), 2500); // 50 ms of work, as a 50 ms commit leaves, not 100 ms after 300
}

} // namespace
