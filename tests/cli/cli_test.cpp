#include <gtest/gtest.h>

#include "cli/cli_options.h"

namespace tessel::cli {
namespace {

std::vector<std::string> Words(std::initializer_list<const char*> words) { return {words.begin(), words.end()}; }

TEST(CliOptions, AProcedureWithItsThreeRequiredValues) {
    const auto parsed = ParseCommandLine(Words({"script", "--address", "dev.local", "--login", "id", "--password", "",
                                                "--ftp-port", "2121", "--console-port", "9002", "--package", "/p",
                                                "--verbose", "--timeout", "60"}));
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

}  // namespace
}  // namespace tessel::cli
