// What a device's thread writes reaches the fleet's terminal: its output line by line, and the live table
// drawn from it.
#include "cli/live_table.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli/line_relay.h"

namespace tessel::cli {
namespace {

TEST(LiveTable, ARowPerRunningDeviceWithItsUploadAndAFooterOfCounts) {
    const std::string table = LiveTable({{"logger-1", "10.0.0.1", "ファームウェア送信中", 21, 50},
                                         {"logger-\x1B[2J", "10.0.0.2", "接続中", 0, 0},
                                         {"logger-3", "10.0.0.3", "送信中", 70, 50}},
                                        {3, 1, 3, 40});
    EXPECT_EQ(table,
              "logger-1  10.0.0.1  ファームウェア送信中 [####------] 42 %\n"
              "logger-\\x1B[2J  10.0.0.2  接続中\n"
              "logger-3  10.0.0.3  送信中 [##########] 100 %\n"
              "succeeded 3  failed 1  running 3  waiting 40\n");
}

TEST(LineRelay, HandsOnEachWholeLineAndTheLastPartOne) {
    std::vector<std::string> lines;
    {
        LineRelay relay([&lines](std::string line) { lines.push_back(std::move(line)); });
        std::ostream out(&relay);
        out << "接続中" << std::endl
            << "FTP送信エラー" << '\n'
            << "\n"
            << "no newline";
        out.flush();
        EXPECT_EQ(lines, (std::vector<std::string>{"接続中", "FTP送信エラー", ""}));
        // A device that never ends its line cannot make the relay grow without bound.
        out << std::string(200 * 1024, 'x');
        ASSERT_EQ(lines.size(), 6u);
        EXPECT_EQ(lines[3], "no newline" + std::string(64 * 1024 - 10, 'x'));
    }
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines.back().size(), 200u * 1024 + 10 - 3 * 64 * 1024);
}

}  // namespace
}  // namespace tessel::cli
