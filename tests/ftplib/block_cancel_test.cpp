// Upload progress and cancel block by block, against a server that reads slowly through small
// buffers: done counts only blocks that have gone to the network, and a cancel holds back every block
// after the one on its way.
#include <chrono>
#include <future>
#include <thread>

#include "SkiffS/SkiffS.h"
#include "hostile_server.h"
#include "skiffs_fixture.h"

namespace tessel::test {
namespace {

constexpr int kRate = 256 * 1024;
// What the kernel may hold between the library and the server: the data socket's send queue (the
// library asks for 64 KiB, the kernel doubles it) and the server's small receive buffer.
constexpr std::uint64_t kKernelSlack = 160 * 1024;

struct Case {
    std::size_t size;
    // Cancel once done reaches this fraction of the blocks (1.0: at the last block).
    double at;
};

class BlockCancel : public SkiffsTest, public ::testing::WithParamInterface<Case> {};

int DoneOf(const char* host) {
    int total = 0;
    int done = 0;
    Skiff_GetStatus(host, &total, &done);
    return done;
}

TEST_P(BlockCancel, DoneCountsWhatWasSentAndACancelStopsAtTheNextBlock) {
    HostileServer server({.dataBytesPerSecond = kRate});
    const std::string bytes = PatternBytes(GetParam().size);
    const std::string local = LocalFile("f.bin", bytes);
    const int total = static_cast<int>((bytes.size() + 1023) / 1024);
    const int target = std::max(1, std::min(total - 1, static_cast<int>(total * GetParam().at)));

    auto upload = std::async(std::launch::async, [&] {
        return CSkiffClient().Skiff_SendD("127.0.0.1", "user", "pw", server.port(), kBinary, local.c_str(), "f.bin",
                                          1, 0);
    });
    CancelOnExit cancelOnExit;
    int before = 0;
    const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    while ((before = DoneOf("127.0.0.1")) < target && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_GE(before, target);
    // Nothing is counted that has not left for the server.
    EXPECT_LE(static_cast<std::uint64_t>(before) * 1024, server.Received() + kKernelSlack);
    Skiff_Cancel("127.0.0.1");
    const int after = std::max(before, DoneOf("127.0.0.1"));

    ASSERT_EQ(upload.wait_for(kWaitLimit), std::future_status::ready);
    EXPECT_EQ(upload.get(), 0);
    const std::string arrived = server.Stored();
    EXPECT_EQ(arrived, bytes.substr(0, arrived.size()));
    // Every block counted arrived, and after the cancel at most what the kernel already held: on a loaded
    // machine the count may lag the blocks written to the socket just before the cancel.
    EXPECT_GE(arrived.size(), std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(before) * 1024));
    EXPECT_LE(arrived.size(), static_cast<std::uint64_t>(after) * 1024 + kKernelSlack);
    EXPECT_EQ(DoneOf("127.0.0.1"), 0);
}

INSTANTIATE_TEST_SUITE_P(SmallAndLargeFiles, BlockCancel,
                         ::testing::Values(Case{300 * 1024, 0.0}, Case{300 * 1024, 0.5}, Case{300 * 1024, 1.0},
                                           Case{1024 * 1024, 0.0}, Case{1024 * 1024, 0.5},
                                           Case{1024 * 1024, 1.0}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::to_string(info.param.size / 1024) + "KiB_at" +
                                    std::to_string(static_cast<int>(info.param.at * 100)) + "percent";
                         });

}  // namespace
}  // namespace tessel::test
