#include <vector>

#include "SkiffS/SkiffS.h"
#include "job_table.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

using TableFull = SkiffsTest;

TEST_F(TableFull, TransferWithoutAnEntryEndsWithoutTouchingTheRemoteFile) {
    auto& table = skiffs::JobTable::Process();
    std::vector<int> others;
    for (int i = 0; i < skiffs::JobTable::kEntries; ++i) {
        const auto started = table.Start("other" + std::to_string(i));
        ASSERT_EQ(started.claim, skiffs::JobTable::Claim::Claimed);
        others.push_back(*started.entry);
    }
    WriteFileBytes(Remote("B:/kept.bin"), "existing");
    EXPECT_EQ(Send(LocalFile("new.bin", "replacement"), "B:\\kept.bin"), SKIFF_NO_JOB_ENTRY);
    EXPECT_EQ(ReadFileBytes(Remote("B:/kept.bin")), "existing");
    EXPECT_FALSE(ServerSaw("STOR"));

    EXPECT_EQ(Get("B:/kept.bin", Local("got.bin").string()), SKIFF_NO_JOB_ENTRY);
    EXPECT_TRUE(LeftoverTemporaryFiles().empty());
    // The transfers without an entry released none of the others'.
    for (int i = 0; i < skiffs::JobTable::kEntries; ++i) {
        EXPECT_EQ(table.Start("other" + std::to_string(i)).claim, skiffs::JobTable::Claim::HostBusy);
    }

    // Once an entry is free the same transfer goes through.
    table.Release(others[0]);
    ASSERT_EQ(Send(LocalFile("new.bin", "replacement"), "B:\\kept.bin"), 0);
    EXPECT_EQ(ReadFileBytes(Remote("B:/kept.bin")), "replacement");
    for (int i = 1; i < skiffs::JobTable::kEntries; ++i) table.Release(others[i]);
}

}  // namespace
}  // namespace tessel::test
