#include <gtest/gtest.h>

#include "cli/cli_options.h"

namespace tessel::cli {
namespace {

std::vector<std::string> Words(std::initializer_list<const char*> words) { return {words.begin(), words.end()}; }

TEST(CliOptions, AProcedureWithItsThreeRequiredValues) {
    const auto parsed =
        ParseCommandLine(Words({"script", "--address", "dev.local", "--login", "id", "--password", "", "--ftp-port",
                                "2121", "--console-port", "9002", "--package", "/p", "--verbose", "--timeout", "60"}));
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->procedure, UpdateProcedure::Script);
    EXPECT_EQ(parsed.options->address, "dev.local");
    EXPECT_EQ(parsed.options->password, "");
    EXPECT_EQ(parsed.options->ftpPort, "2121");
    EXPECT_EQ(parsed.options->consolePort, 9002);
    EXPECT_EQ(parsed.options->packageDirectory, "/p");
    EXPECT_TRUE(parsed.options->verbose);
    EXPECT_EQ(parsed.options->timeoutSeconds, 60);

    const auto defaults = ParseCommandLine(Words({"firmware", "--address", "a", "--login", "b", "--password", "c"}));
    ASSERT_TRUE(defaults.options);
    EXPECT_EQ(defaults.options->ftpPort, "21");
    EXPECT_EQ(defaults.options->consolePort, 8002);
    EXPECT_TRUE(defaults.options->packageDirectory.empty());
}

TEST(CliOptions, BadCommandLinesAreRefusedWithAReason) {
    for (const auto& words :
         {Words({}), Words({"--address", "a", "--login", "b", "--password", "c"}),
          Words({"firmware", "script", "--address", "a", "--login", "b", "--password", "c"}),
          Words({"firmware", "--login", "b", "--password", "c"}), Words({"firmware", "--address"}),
          Words({"firmware", "--address", "a", "--login", "b", "--password", "c", "--ftp-port", "0"}),
          Words({"firmware", "--address", "a", "--login", "b", "--password", "c", "--console-port", "8x"}),
          Words({"firmware", "--address", "a", "--login", "b", "--password", "c", "--timeout", "-1"}),
          Words({"firmware", "--address", "a", "--login", "b", "--password", "c", "--package", ""}),
          Words({"firmware", "--address", "a", "--login", "b", "--password", "c", "--force"})}) {
        const auto parsed = ParseCommandLine(words);
        EXPECT_FALSE(parsed.options);
        EXPECT_FALSE(parsed.error.empty());
    }
    EXPECT_TRUE(ParseCommandLine(Words({"--help"})).help);
    const auto version = ParseCommandLine(Words({"firmware", "--version", "--address"}));
    EXPECT_TRUE(version.version);
    EXPECT_FALSE(version.options);
}

TEST(CliOptions, AValueIsTheNextWordAsItIsOrWhatFollowsTheEqualsSign) {
    const auto dashes =
        ParseCommandLine(Words({"firmware", "--address", "-a", "--login", "--verbose", "--password", "--version"}));
    ASSERT_TRUE(dashes.options) << dashes.error;
    EXPECT_EQ(dashes.options->address, "-a");
    EXPECT_EQ(dashes.options->login, "--verbose");
    EXPECT_FALSE(dashes.options->verbose);
    EXPECT_EQ(dashes.options->password, "--version");
    EXPECT_TRUE(dashes.options->passwordGiven);
    EXPECT_FALSE(dashes.version);

    const auto joined = ParseCommandLine(
        Words({"firmware", "--address=dev.local", "--login=id", "--password=a=b", "--timeout=60", "--ftp-port=2121"}));
    ASSERT_TRUE(joined.options) << joined.error;
    EXPECT_EQ(joined.options->address, "dev.local");
    EXPECT_EQ(joined.options->password, "a=b");
    EXPECT_EQ(joined.options->timeoutSeconds, 60);
    EXPECT_EQ(joined.options->ftpPort, "2121");

    // An empty PW in --password="$PW" is an empty password, not the next word.
    const auto empty = ParseCommandLine(Words({"firmware", "--address", "a", "--login", "b", "--password=", "--json"}));
    ASSERT_TRUE(empty.options) << empty.error;
    EXPECT_EQ(empty.options->password, "");
    EXPECT_TRUE(empty.options->passwordGiven);
    EXPECT_TRUE(empty.options->json);
    const auto emptyValue = ParseCommandLine(Words({"firmware", "--address", "a", "--login", "--password="}));
    ASSERT_TRUE(emptyValue.options) << emptyValue.error;
    EXPECT_EQ(emptyValue.options->login, "--password=");
    EXPECT_FALSE(emptyValue.options->passwordGiven);

    const auto noPassword = ParseCommandLine(Words({"firmware", "--address", "a", "--login", "b"}));
    ASSERT_TRUE(noPassword.options) << noPassword.error;
    EXPECT_FALSE(noPassword.options->passwordGiven);
}

TEST(CliOptions, OfAnOptionGivenTwiceTheLastCounts) {
    const auto parsed = ParseCommandLine(Words({"firmware", "--address", "a", "--login", "b", "--address", "c",
                                                "--timeout", "10", "--timeout=20", "--verbose", "--verbose"}));
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->address, "c");
    EXPECT_EQ(parsed.options->timeoutSeconds, 20);
    EXPECT_TRUE(parsed.options->verbose);
}

TEST(CliOptions, ARefusalNamesTheOption) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {Words({"--timeout"}), "--timeout needs a value"},
        {Words({"--address", "a", "--login"}), "--login needs a value"},
        {Words({"--timeout", "0"}), "--timeout takes a number of seconds from 1 to 86400"},
        {Words({"--timeout", "86401"}), "--timeout takes a number of seconds from 1 to 86400"},
        {Words({"--console-port", "0x1F"}), "--console-port takes a port number from 1 to 65535"},
        {Words({"--ftp-port", "65536"}), "--ftp-port takes a port number from 1 to 65535"},
        {Words({"--ftp-port", " 21"}), "--ftp-port takes a port number from 1 to 65535"},
        {Words({"--package="}), "--package needs a directory"},
        {Words({"--force"}), "unknown option --force"},
        {Words({"-x"}), "unknown option -x"},
        {Words({"--address", "a", "--login", "b", "--parallel", "4"}),
         "--parallel, --canary, --max-failures and --report go with --inventory"},
        {Words({"--inventory", "f.csv", "--parallel", "0"}), "--parallel takes a number from 1 to 1000"},
        {Words({"--inventory", "f.csv", "--canary", "1001"}), "--canary takes a number from 0 to 1000"},
        {Words({"--inventory", "f.csv", "--max-failures", "-1"}), "--max-failures takes a number from 0 to 1000"},
        {Words({"--inventory", "f.csv", "--address", "a"}), "--address or --inventory, not both"},
        {Words({"--inventory", "f.csv", "--retry-failed", "r.json"}), "--inventory or --retry-failed, not both"},
        {Words({"--inventory", "f.csv", "--json"}), "--json is for one device; --report writes the fleet's"},
        {Words({"--login", "b"}), "--address (or --inventory) is required"},
        {Words({"--address", "a"}), "--login is required"},
        {Words({"--address", "a", "--login", "b", "script"}), "one procedure only, not also \"script\""},
    };
    for (const auto& [words, message] : cases) {
        std::vector<std::string> line = {"firmware"};
        line.insert(line.end(), words.begin(), words.end());
        const auto parsed = ParseCommandLine(line);
        EXPECT_FALSE(parsed.options) << message;
        EXPECT_EQ(parsed.error, message);
    }
    EXPECT_EQ(ParseCommandLine(Words({"script", "--address", "a", "--login", "b", "--skip-current"})).error,
              "--verify-version and --skip-current go with firmware");
    EXPECT_EQ(ParseCommandLine(Words({"version", "--check"})).error, "--check goes with firmware or script");
    EXPECT_EQ(ParseCommandLine(Words({"update", "--address", "a"})).error,
              "unknown procedure \"update\": firmware, script, version or restore-autoscript");
}

TEST(CliOptions, HelpAndVersionWinOverARefusedLine) {
    EXPECT_TRUE(ParseCommandLine(Words({"-h"})).help);
    EXPECT_TRUE(ParseCommandLine(Words({"--force", "firmware", "script", "--help"})).help);
    EXPECT_TRUE(ParseCommandLine(Words({"version", "--timeout", "0", "--version"})).version);
    EXPECT_FALSE(ParseCommandLine(Words({"version", "--timeout", "0", "--version"})).options);
}

TEST(CliOptions, TheFleetAndTheCheckNeedNoAddress) {
    const auto fleet = ParseCommandLine(Words({"firmware", "--inventory", "f.csv", "--parallel", "4", "--canary", "0",
                                               "--max-failures", "1000", "--report", "r.json"}));
    ASSERT_TRUE(fleet.options) << fleet.error;
    EXPECT_EQ(fleet.options->inventory, "f.csv");
    EXPECT_EQ(fleet.options->parallel, 4);
    EXPECT_EQ(fleet.options->canary, 0);
    EXPECT_EQ(fleet.options->maxFailures, 1000);
    EXPECT_EQ(fleet.options->report, "r.json");

    const auto retry = ParseCommandLine(Words({"script", "--retry-failed", "r.json", "--password-file", "pw"}));
    ASSERT_TRUE(retry.options) << retry.error;
    EXPECT_EQ(retry.options->retryFailed, "r.json");
    EXPECT_EQ(retry.options->passwordFile, "pw");
    EXPECT_EQ(retry.options->parallel, 8);

    const auto check = ParseCommandLine(Words({"firmware", "--check", "--package", "/p"}));
    ASSERT_TRUE(check.options) << check.error;
    EXPECT_TRUE(check.options->checkOnly);
    EXPECT_EQ(check.options->packageDirectory, "/p");
}

}  // namespace
}  // namespace tessel::cli
