#include "cli/inventory.h"

#include <gtest/gtest.h>

namespace tessel::cli {
namespace {

TEST(Inventory, EmptyCellsTakeTheCommandLinesValuesAndQuotedCellsKeepTheirCommas) {
    const FleetDefaults defaults{"admin", std::string("common"), "2121", 9002};
    std::vector<std::string> faults;
    const auto devices = ParseInventory(
        "Address,Name,password,console_port\r\n10.0.0.1,\"Site 7, hall\",,\n10.0.0.2,,\"p\"\"w\",8002\n\n", defaults,
        faults);
    ASSERT_TRUE(faults.empty()) << faults.front();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].name, "Site 7, hall");
    EXPECT_EQ(devices[0].login, "admin");
    EXPECT_EQ(devices[0].password, "common");
    EXPECT_EQ(devices[0].ftpPort, "2121");
    EXPECT_EQ(devices[0].consolePort, 9002);
    EXPECT_EQ(devices[1].name, "10.0.0.2");
    EXPECT_EQ(devices[1].password, "p\"w");
    EXPECT_EQ(devices[1].consolePort, 8002);
    EXPECT_EQ(devices[1].line, 3u);
}

TEST(Inventory, EveryBadRowIsListedAndNoDeviceIsReturned) {
    std::vector<std::string> faults;
    const auto devices = ParseInventory("address,ftp_port,colour\na,21\n,21\nb,0\na,21\n", FleetDefaults{}, faults);
    EXPECT_TRUE(devices.empty());
    const std::vector<std::string> expected = {
        "line 1: unknown column \"colour\"",
        "line 2: no login, and none on the command line",
        "line 2: no password, and none given to the command line",
        "line 3: no address",
        "line 3: no login, and none on the command line",
        "line 3: no password, and none given to the command line",
        "line 4: ftp_port \"0\" is no port number from 1 to 65535",
        "line 4: no login, and none on the command line",
        "line 4: no password, and none given to the command line",
        "line 5: no login, and none on the command line",
        "line 5: no password, and none given to the command line",
        "line 5: address a is listed twice (also on line 2)",
    };
    EXPECT_EQ(faults, expected);
    faults.clear();
    EXPECT_TRUE(ParseInventory("address\n", FleetDefaults{"x", std::string("y")}, faults).empty());
    EXPECT_EQ(faults, std::vector<std::string>{"no devices listed"});
}

}  // namespace
}  // namespace tessel::cli
