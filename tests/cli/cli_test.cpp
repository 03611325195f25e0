#include <gtest/gtest.h>

#include "cli/cli_options.h"
#include "cli/update_watch.h"

namespace tessel::cli {
namespace {

std::vector<std::string> Words(std::initializer_list<const char*> words) { return {words.begin(), words.end()}; }

TEST(CliOptions, AProcedureWithItsThreeRequiredValues) {
    const auto parsed = ParseCommandLine(Words({"script", "--address", "dev.local", "--login", "id", "--password", "",
                                                "--ftp-port", "2121", "--console-port", "9002", "--package", "/p",
                                                "--verbose", "--timeout", "60"}));
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->procedure, Procedure::Script);
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
}

TEST(UpdateWatch, WaitsOnlyForWhatCanStillChangeTheDevice) {
    UpdateState idle;
    EXPECT_FALSE(UpdatePending(idle));

    UpdateState restartWait = idle;
    restartWait.reconnectTimerArmed = true;
    EXPECT_TRUE(UpdatePending(restartWait));

    UpdateState waitingForTheDevice = idle;
    waitingForTheDevice.updateButtonsDisabled = true;
    waitingForTheDevice.consoleOpen = true;
    EXPECT_TRUE(UpdatePending(waitingForTheDevice));

    // A failed script transfer with the move flag: the watchdog's expiry will start the restore.
    UpdateState restoreToCome = idle;
    restoreToCome.watchdogArmed = true;
    restoreToCome.watchdogStartsRestore = true;
    EXPECT_TRUE(UpdatePending(restoreToCome));

    // After a reported error the watchdog could only show the failure once more.
    UpdateState failureRepeat = idle;
    failureRepeat.watchdogArmed = true;
    EXPECT_FALSE(UpdatePending(failureRepeat));

    // Buttons left disabled with nothing that could answer: nothing can change the device any more.
    UpdateState stranded = idle;
    stranded.updateButtonsDisabled = true;
    EXPECT_FALSE(UpdatePending(stranded));
}

TEST(UpdateWatch, OnlyTheSuccessMessagesEndWithStatusZero) {
    EXPECT_EQ(ExitStatusFor("ファームウェア・アップデートが終了しました。"), 0);
    EXPECT_EQ(ExitStatusFor("スクリプト・アップデートが終了しました。"), 0);
    EXPECT_EQ(ExitStatusFor("スクリプト・アップデートができませんでした。"), 1);
    EXPECT_EQ(ExitStatusFor(""), 1);
}

}  // namespace
}  // namespace tessel::cli
