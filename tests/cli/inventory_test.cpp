#include "cli/inventory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/fleet_report.h"

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

TEST(Inventory, OneDeviceUnderAnotherSpellingOfItsAddressIsListedTwice) {
    std::vector<std::string> faults;
    const auto devices = ParseInventory("address\n127.0.0.1\n127.1\n::ffff:127.0.0.1\nLogger-7\nlogger-7\n",
                                        FleetDefaults{"admin", std::string("pw")}, faults);
    EXPECT_TRUE(devices.empty());
    const std::vector<std::string> expected = {
        "line 3: address 127.1 is listed twice (also on line 2)",
        "line 4: address ::ffff:127.0.0.1 is listed twice (also on line 2)",
        "line 6: address logger-7 is listed twice (also on line 5)",
    };
    EXPECT_EQ(faults, expected);
}

TEST(Inventory, AQuoteNeverClosedIsAFaultNotTheRestOfTheFileInOneCell) {
    std::vector<std::string> faults;
    const auto devices = ParseInventory("address,name\n10.0.0.1,\"Site 7\n10.0.0.2,b\n10.0.0.3,c\n",
                                        FleetDefaults{"admin", std::string("pw")}, faults);
    EXPECT_TRUE(devices.empty());
    EXPECT_EQ(faults, std::vector<std::string>{"line 2: a quote opened in this row is never closed"});
}

TEST(Inventory, ANameOrAddressThatWouldBreakTheTerminalsLinesIsRefused) {
    std::vector<std::string> faults;
    const auto devices = ParseInventory(
        "address,name\n10.0.0.1,\"a\nsucceeded 99 failed 0\"\n10.0.0.2,\xE2\x80\xAE" "evil\n10.0.0.3\x1B[2J,c\n",
        FleetDefaults{"admin", std::string("pw")}, faults);
    EXPECT_TRUE(devices.empty());
    const std::vector<std::string> expected = {
        "line 2: the name holds a control character",
        "line 4: the name holds a control character",
        "line 5: the address holds a control character",
    };
    EXPECT_EQ(faults, expected);
}

// A report may have been edited by anyone: its devices are held to the inventory's rules.
class RetryReport : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(path_); }
    std::vector<FleetDevice> Retry(const std::string& devices, std::vector<std::string>& faults) {
        std::ofstream(path_, std::ios::binary) << "{\"devices\": [" << devices << "]}";
        return FailedDevicesOf(path_, "pw", faults);
    }
    static std::string Device(const std::string& address, const std::string& ftpPort, const std::string& consolePort) {
        return "{\"result\": \"failed\", \"name\": \"n\", \"address\": \"" + address + "\", \"login\": \"admin\", " +
               "\"ftp_port\": \"" + ftpPort + "\", \"console_port\": " + consolePort + "}";
    }
    const std::string path_ =
        (std::filesystem::temp_directory_path() / ("tessel-retry-" + std::to_string(::getpid()) + ".json")).string();
};

TEST_F(RetryReport, PortsOutOfRangeOrNotNumbersAndRepeatedAddressesAreRefused) {
    for (const auto& [device, fault] : std::initializer_list<std::pair<std::string, std::string>>{
             {Device("10.0.0.1", "21", "65538"), "console_port 65538 is no port number from 1 to 65535"},
             {Device("10.0.0.1", "21", "\"8002\""), "console_port is no port number"},
             {Device("10.0.0.1", "abc", "8002"), "ftp_port \"abc\" is no port number from 1 to 65535"},
             {Device("10.0.0.1", "-1", "8002"), "ftp_port \"-1\" is no port number from 1 to 65535"},
             {Device("10.0.0.1", " 21 junk", "8002"), "ftp_port \" 21 junk\" is no port number from 1 to 65535"},
             {Device("10.0.0.1", "21", "8002") + "," + Device("10.0.0.1", "21", "8003"),
              "address 10.0.0.1 is listed twice (also on device 1)"}}) {
        SCOPED_TRACE(device);
        std::vector<std::string> faults;
        EXPECT_TRUE(Retry(device, faults).empty());
        ASSERT_EQ(faults.size(), 1u);
        EXPECT_NE(faults[0].find(fault), std::string::npos) << faults[0];
    }
    std::vector<std::string> faults;
    const auto devices = Retry(Device("10.0.0.1", "2121", "9002"), faults);
    ASSERT_EQ(devices.size(), 1u) << faults.front();
    EXPECT_EQ(devices[0].ftpPort, "2121");
    EXPECT_EQ(devices[0].consolePort, 9002);
}

TEST(SummaryTable, OneHugeNameDoesNotWidenEveryRow) {
    FleetSummary summary;
    for (int i = 0; i < 1000; ++i) {
        FleetDevice device;
        device.name = i == 0 ? std::string(100000, 'x') : "logger-" + std::to_string(i);
        device.address = "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250);
        summary.results.push_back({device, RunnerRecord(device, UpdateProcedure::Firmware, "skipped", "")});
    }
    std::ostringstream out;
    PrintSummaryTable(out, summary);
    EXPECT_LT(out.str().size(), 1000u * 120u);
    EXPECT_NE(out.str().find(std::string(37, 'x') + "...  10.0.0.0"), std::string::npos);
}

}  // namespace
}  // namespace tessel::cli
