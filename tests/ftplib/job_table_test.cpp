#include "job_table.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace skiffs {
namespace {

TEST(JobTable, OneTransferPerHostAndCaseMatters) {
    JobTable table;
    EXPECT_EQ(table.Start("device"), JobTable::Claim::Claimed);
    EXPECT_EQ(table.Start("device"), JobTable::Claim::HostBusy);
    EXPECT_EQ(table.Start("DEVICE"), JobTable::Claim::Claimed);
    table.Release("device");
    EXPECT_EQ(table.Start("device"), JobTable::Claim::Claimed);
}

TEST(JobTable, ProgressIsSeenByHostAndClearedOnRelease) {
    JobTable table;
    ASSERT_EQ(table.Start("a"), JobTable::Claim::Claimed);
    ASSERT_EQ(table.Start("b"), JobTable::Claim::Claimed);
    const auto entry = table.Lookup("b");
    ASSERT_TRUE(entry.has_value());
    table.SetProgress(*entry, 7, 3);
    EXPECT_EQ(table.Status("b").total, 7);
    EXPECT_EQ(table.Status("b").done, 3);
    EXPECT_EQ(table.Status("a").total, 0);
    table.Release("b");
    EXPECT_EQ(table.Status("b").total, 0);
    EXPECT_EQ(table.Status("b").done, 0);
    EXPECT_FALSE(table.Lookup("b").has_value());
}

TEST(JobTable, CancelReachesOnlyARunningTransferOfThatHost) {
    JobTable table;
    table.Cancel("idle");  // no transfer: nothing changes
    ASSERT_EQ(table.Start("idle"), JobTable::Claim::Claimed);
    EXPECT_FALSE(table.CancelRequested(*table.Lookup("idle")));
    table.Cancel("idle");
    EXPECT_TRUE(table.CancelRequested(*table.Lookup("idle")));
    table.Release("idle");
    ASSERT_EQ(table.Start("idle"), JobTable::Claim::Claimed);
    EXPECT_FALSE(table.CancelRequested(*table.Lookup("idle")));
    // An empty host names no transfer and sets no free entry's flag.
    table.Cancel("");
    EXPECT_EQ(table.Status("").total, 0);
}

TEST(JobTable, HundredEntriesThenTheTransferGoesOnWithoutOne) {
    JobTable table;
    for (int i = 0; i < JobTable::kEntries; ++i) {
        ASSERT_EQ(table.Start("host" + std::to_string(i)), JobTable::Claim::Claimed);
    }
    EXPECT_EQ(table.Start("one-more"), JobTable::Claim::TableFull);
    EXPECT_FALSE(table.Lookup("one-more").has_value());
    // A busy host is still refused when the table is full.
    EXPECT_EQ(table.Start("host5"), JobTable::Claim::HostBusy);
    table.Release("host5");
    EXPECT_EQ(table.Start("one-more"), JobTable::Claim::Claimed);
}

TEST(JobTable, ConcurrentClaimsNeverShareAnEntry) {
    JobTable table;
    constexpr int kThreads = 8;
    constexpr int kRounds = 2000;
    std::vector<int> busy(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Pairs of threads compete for one host: each claim must exclude the other.
            const std::string host = "h" + std::to_string(t / 2);
            for (int i = 0; i < kRounds; ++i) {
                if (table.Start(host) == JobTable::Claim::Claimed) {
                    const auto entry = table.Lookup(host);
                    if (entry) {
                        table.SetProgress(*entry, i, i);
                    } else {
                        ++busy[t];
                    }
                    table.Release(host);
                }
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(busy[t], 0);
    for (int t = 0; t < kThreads / 2; ++t) EXPECT_FALSE(table.Lookup("h" + std::to_string(t)).has_value());
}

}  // namespace
}  // namespace skiffs
