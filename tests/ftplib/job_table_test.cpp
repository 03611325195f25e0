#include "job_table.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace skiffs {
namespace {

using Claim = JobTable::Claim;

TEST(JobTable, OneTransferPerHostAndCaseMatters) {
    JobTable table;
    const auto first = table.Start("device");
    ASSERT_EQ(first.claim, Claim::Claimed);
    EXPECT_EQ(table.Start("device").claim, Claim::HostBusy);
    EXPECT_FALSE(table.Start("device").entry.has_value());
    EXPECT_EQ(table.Start("DEVICE").claim, Claim::Claimed);
    table.Release(*first.entry);
    EXPECT_EQ(table.Start("device").claim, Claim::Claimed);
}

TEST(JobTable, ProgressIsSeenByHostAndClearedOnRelease) {
    JobTable table;
    ASSERT_EQ(table.Start("a").claim, Claim::Claimed);
    const auto b = table.Start("b");
    ASSERT_TRUE(b.entry.has_value());
    table.SetProgress(*b.entry, 7, 3);
    EXPECT_EQ(table.Status("b").total, 7);
    EXPECT_EQ(table.Status("b").done, 3);
    EXPECT_EQ(table.Status("a").total, 0);
    table.Release(*b.entry);
    EXPECT_EQ(table.Status("b").total, 0);
    EXPECT_EQ(table.Status("b").done, 0);
}

TEST(JobTable, CancelReachesOnlyARunningTransferOfThatHost) {
    JobTable table;
    table.Cancel("idle");  // no transfer: nothing changes
    const auto first = table.Start("idle");
    ASSERT_TRUE(first.entry.has_value());
    EXPECT_FALSE(table.CancelRequested(*first.entry));
    table.Cancel("idle");
    EXPECT_TRUE(table.CancelRequested(*first.entry));
    table.Release(*first.entry);
    const auto second = table.Start("idle");
    ASSERT_TRUE(second.entry.has_value());
    EXPECT_FALSE(table.CancelRequested(*second.entry));
    // An empty host names no transfer and sets no free entry's flag.
    table.Cancel("");
    EXPECT_EQ(table.Status("").total, 0);
}

TEST(JobTable, HundredEntriesThenTheTransferGoesOnWithoutOne) {
    JobTable table;
    std::vector<int> entries;
    for (int i = 0; i < JobTable::kEntries; ++i) {
        const auto started = table.Start("host" + std::to_string(i));
        ASSERT_EQ(started.claim, Claim::Claimed);
        entries.push_back(*started.entry);
    }
    const auto without = table.Start("one-more");
    EXPECT_EQ(without.claim, Claim::TableFull);
    EXPECT_FALSE(without.entry.has_value());
    // A busy host is still refused when the table is full.
    EXPECT_EQ(table.Start("host5").claim, Claim::HostBusy);
    table.Release(entries[5]);
    EXPECT_EQ(table.Start("one-more").claim, Claim::Claimed);
}

TEST(JobTable, AnEndedTransferReleasesOnlyItsOwnEntry) {
    // The first transfer ends while a second one for the same host runs in another entry: the second
    // keeps its progress and can still be cancelled.
    JobTable table;
    const auto first = table.Start("device");
    table.Release(*first.entry);
    const auto blocker = table.Start("other");
    const auto second = table.Start("device");
    ASSERT_TRUE(second.entry.has_value());
    table.SetProgress(*second.entry, 10, 4);
    table.Release(*blocker.entry);
    EXPECT_EQ(table.Status("device").done, 4);
    table.Cancel("device");
    EXPECT_TRUE(table.CancelRequested(*second.entry));
}

TEST(JobTable, ConcurrentClaimsNeverShareAnEntry) {
    JobTable table;
    constexpr int kThreads = 8;
    constexpr int kRounds = 2000;
    std::vector<int> overlaps(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Pairs of threads compete for one host: each claim must exclude the other.
            const std::string host = "h" + std::to_string(t / 2);
            for (int i = 0; i < kRounds; ++i) {
                const auto started = table.Start(host);
                if (started.claim != Claim::Claimed) continue;
                table.SetProgress(*started.entry, t, i);
                if (table.Status(host).total != t || table.Status(host).done != i) ++overlaps[t];
                table.Release(*started.entry);
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(overlaps[t], 0);
    for (int t = 0; t < kThreads / 2; ++t) EXPECT_EQ(table.Status("h" + std::to_string(t)).total, 0);
}

}  // namespace
}  // namespace skiffs
