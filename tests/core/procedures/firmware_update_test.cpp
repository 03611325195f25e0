#include <filesystem>
#include <string>

#include "procedure_fixture.h"

namespace tessel::sim {
namespace {

const std::string kGetSysVer = "exec \"B:\\GetSysVer.wcr\"";
const std::string kSysup = "sysup \"B:\\kbteva.bin\"";

using FirmwareChainTest = ProcedureTest;

TEST_F(FirmwareChainTest, OnePassUploadsRunsTheVersionScriptExpandsAndRestarts) {
    world.dialog.OnFirmwareButton();
    runToEnd();
    EXPECT_EQ(statuses(), (Texts{"ファーム転送中", "ログインID送信", "パスワード送信",
                                 "ファームバージョン確認中", "ファームの展開を開始", "展開中(5)", "展開中(6)",
                                 "展開中(7)", "再起動中", "ファームウェア・アップデート終了"}));
    EXPECT_EQ(boxTexts(), Texts{"ファームウェア・アップデートが終了しました。"});
    EXPECT_EQ(world.host.boxes.back().icon, MessageIcon::Information);
    EXPECT_EQ(world.device.commands, (Texts{kGetSysVer, kSysup, "y", "reboot"}));
    EXPECT_EQ(world.dialog.secondPass(), 0);
    EXPECT_TRUE(world.buttonsEnabled());

    ASSERT_EQ(world.uploader.uploads.size(), 3u);
    const char* const names[] = {"kbteva.bin", "prism3.dat", "GetSysVer.wcr"};
    const char* const remotes[] = {"B:\\kbteva.bin", "B:\\prism3.dat", "B:\\GetSysVer.wcr"};
    for (std::size_t i = 0; i < 3; ++i) {
        const UploadRequest& request = world.uploader.uploads[i].request;
        EXPECT_EQ(request.host, "192.168.1.200");
        EXPECT_EQ(request.user, "admin");
        EXPECT_EQ(request.password, "secret");
        EXPECT_EQ(request.port, 21);
        EXPECT_EQ(request.transferMode, 1);
        EXPECT_EQ(request.localPath, world.package.path(names[i]));
        EXPECT_EQ(request.remotePath, remotes[i]);
        EXPECT_EQ(request.passive, 1);
        EXPECT_EQ(request.codeConversion, 0);
        EXPECT_EQ(world.uploader.uploads[i].content, world.package.read(names[i]));
    }
    expectPackageAsShipped();
}

TEST_F(FirmwareChainTest, AnOlderVersionRunsEverythingOnceMoreWithoutAskingTheVersionAgain) {
    world.device.firmwareVersion = "01.06.99";
    world.dialog.OnFirmwareButton();
    runToEnd();
    const Texts pass = {"ファーム転送中", "ログインID送信", "パスワード送信"};
    const Texts expansion = {"ファームの展開を開始", "展開中(5)", "展開中(6)", "展開中(7)", "再起動中"};
    Texts expected = pass;
    expected.push_back("ファームバージョン確認中");
    expected.insert(expected.end(), expansion.begin(), expansion.end());
    expected.insert(expected.end(), pass.begin(), pass.end());
    expected.insert(expected.end(), expansion.begin(), expansion.end());
    expected.push_back("ファームウェア・アップデート終了");
    EXPECT_EQ(statuses(), expected);
    EXPECT_EQ(boxTexts(), Texts{"ファームウェア・アップデートが終了しました。"});
    EXPECT_EQ(world.uploader.uploads.size(), 6u);
    EXPECT_EQ(world.device.commands,
              (Texts{kGetSysVer, kSysup, "y", "reboot", kGetSysVer, kSysup, "y", "reboot"}));
    EXPECT_EQ(world.dialog.firmwarePass(), 1);
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(FirmwareChainTest, AReplyWithoutAVersionCountsAsTheOldestAndTheUpdateRunsTwice) {
    world.device.commandReplies = [](const std::string& command) {
        return command == kGetSysVer ? Texts{"value = 0x1 = 1\r\n> "} : Texts{};
    };
    world.dialog.OnFirmwareButton();
    runToEnd();
    EXPECT_EQ(world.dialog.firmwarePass(), 1);
    EXPECT_EQ(world.lastBox(), "ファームウェア・アップデートが終了しました。");
}

TEST_F(FirmwareChainTest, AFailedSecondPassLeavesTheButtonsFree) {
    world.device.firmwareVersion = "01.06.99";
    // The socket of the second pass cannot be created.
    world.uploader.duringSend = [this](const UploadRequest&) {
        world.network.failCreate = world.uploader.uploads.size() >= 3;
    };
    world.dialog.OnFirmwareButton();
    runToEnd();
    EXPECT_EQ(world.lastBox(), "Sock 作成 Err!!");
    EXPECT_TRUE(world.buttonsEnabled());
}

struct UploadFailure {
    std::size_t failingFile;
    int code;
    const char* message;
};

class FirmwareUploadFailureTest : public ProcedureTest,
                                  public ::testing::WithParamInterface<UploadFailure> {};

TEST_P(FirmwareUploadFailureTest, TheFirstFailedUploadEndsTheStartWithItsMessage) {
    const UploadFailure& failure = GetParam();
    world.uploader.results.assign(failure.failingFile, 0);
    world.uploader.results.push_back(failure.code);
    world.host.setControlText(kDetailLine, "detail");
    world.dialog.OnFirmwareButton();
    runToEnd();
    EXPECT_EQ(world.uploader.uploads.size(), failure.failingFile + 1);
    EXPECT_EQ(boxTexts(), Texts{failure.message});
    EXPECT_EQ(world.host.boxes.back().icon, MessageIcon::Warning);
    EXPECT_EQ(world.status(), failure.message);
    EXPECT_EQ(world.host.controlText(kDetailLine), "");
    EXPECT_EQ(world.network.socketsCreated(), 0);
    EXPECT_EQ(world.dialog.step(), 0);
    EXPECT_EQ(world.dialog.updateMode(), FirmwareUpdate);
    EXPECT_TRUE(world.buttonsEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    CodesInAndOutsideTheTable, FirmwareUploadFailureTest,
    ::testing::Values(UploadFailure{0, -1, "FTP送信エラー(引数エラー)"},
                      UploadFailure{0, -6, "FTP送信エラー(メモリ確保失敗)"},
                      UploadFailure{0, -7, "FTP送信エラー(戻り値不明)"},
                      UploadFailure{0, -8, "FTP送信エラー(戻り値不明)"},
                      UploadFailure{1, -4, "FTP送信エラー[dat](サーバ側ファイルエラー)"},
                      UploadFailure{1, -3, "FTP送信エラー[dat](自分側ファイルエラー)"},
                      UploadFailure{1, 5, "FTP送信エラー[dat](戻り値不明)"},
                      UploadFailure{2, -2, "FTP送信エラー[GetSysVer](コネクションエラー)"},
                      UploadFailure{2, -5, "FTP送信エラー[GetSysVer](文字コード変換失敗)"},
                      UploadFailure{2, -8, "FTP送信エラー[GetSysVer](戻り値不明)"}));

TEST_F(FirmwareChainTest, AnAddressTooLongForTheLibraryGoesWholeAndEndsWithItsArgumentError) {
    const std::string address = std::string(60, 'a') + ".example.com";  // 72 bytes
    world.host.setControlText(kAddressEdit, address);
    world.uploader.answer = [](const UploadRequest& request) { return request.host.size() > 63 ? kUploadInvalidArgument : kUploadOk; };
    world.dialog.OnFirmwareButton();
    runToEnd();
    ASSERT_EQ(world.uploader.uploads.size(), 1u);
    EXPECT_EQ(world.uploader.uploads[0].request.host, address);
    EXPECT_EQ(boxTexts(), Texts{"FTP送信エラー(引数エラー)"});
    EXPECT_EQ(world.network.socketsCreated(), 0);
}

// The handlers of steps 2 to 8, one console block at a time, on a connected console.
class FirmwareStepTest : public ProcedureTest {
protected:
    void SetUp() override {
        ProcedureTest::SetUp();
        ASSERT_TRUE(world.connectIn(FirmwareUpdate));
    }
    void at(std::int32_t step, std::int32_t pollCounter = 0) {
        world.dialog.setStep(step);
        world.dialog.setPollCounter(pollCounter);
    }
    std::string lastCommand() const {
        const std::string all = sent();
        const std::size_t end = all.size() - 1;
        const std::size_t start = all.rfind('\r', end - 1);
        return all.substr(start == std::string::npos ? 0 : start + 1,
                          end - (start == std::string::npos ? 0 : start + 1));
    }
};

TEST_F(FirmwareStepTest, TheVersionDecidesTheSecondPassOnTheFirstPassOnly) {
    at(6);
    receive("  01.07.00  value = 0x0 = 0\r\n> ");
    EXPECT_EQ(world.dialog.secondPass(), 0);
    EXPECT_EQ(world.dialog.step(), 7);
    EXPECT_EQ(lastCommand(), kSysup);
    EXPECT_EQ(world.status(), "ファームの展開を開始");
    EXPECT_TRUE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));

    at(6);
    receive("  01.06.99  value = 0x0 = 0");
    EXPECT_EQ(world.dialog.secondPass(), 1);

    world.dialog.setFirmwarePass(1);
    at(6);
    receive("  01.07.02  value = 0x0 = 0");
    EXPECT_EQ(world.dialog.secondPass(), 1);
    EXPECT_EQ(world.dialog.step(), 7);
}

TEST_F(FirmwareStepTest, AVersionThatDoesNotReadAsThreeNumbersStopsTheUpdate) {
    at(6);
    receive("exec \"B:\\GetSysVer.wcr\"\r\n  01.07.02  value = 0x0 = 0");
    EXPECT_EQ(world.lastBox(), "getsysver Version Error !!");
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
    EXPECT_TRUE(world.buttonsEnabled());
}

TEST_F(FirmwareStepTest, TheSecondPassShowsNoVersionText) {
    world.dialog.setFirmwarePass(1);
    at(2);
    receive("\r\n> ");
    EXPECT_EQ(world.dialog.step(), 6);
    EXPECT_TRUE(statuses().empty());
    EXPECT_EQ(lastCommand(), kGetSysVer);
}

TEST_F(FirmwareStepTest, RepliesAreSeenOnlyWhenTheyStartWithinTheFirst200Bytes) {
    at(6);
    receive(std::string(200, ' ') + "value = 0x0 = 0");
    EXPECT_EQ(world.dialog.step(), 6);
    EXPECT_EQ(world.dialog.pollCounter(), 1);
    receive(std::string(199, ' ') + "value");
    EXPECT_EQ(world.dialog.step(), 7);
    EXPECT_EQ(world.dialog.pollCounter(), 1);
}

struct EventLimit {
    std::int32_t step;
    std::int32_t limit;
    const char* awaited;
    const char* message;
};

class FirmwareEventLimitTest : public FirmwareStepTest, public ::testing::WithParamInterface<EventLimit> {};

// The counter is shared with the steps before: starting from 20, the step takes events until it passes the
// limit, and an event that brings the reply always passes.
TEST_P(FirmwareEventLimitTest, TheSharedCounterEndsTheWaitOnlyPastItsLimit) {
    const EventLimit& c = GetParam();
    at(c.step, 20);
    for (std::int32_t counter = 21; counter <= c.limit + 1; ++counter) receive("nothing yet");
    EXPECT_EQ(world.dialog.step(), c.step);
    EXPECT_EQ(world.dialog.pollCounter(), c.limit + 1);
    EXPECT_TRUE(world.host.boxes.empty());
    receive(c.awaited);
    EXPECT_NE(world.dialog.step(), c.step);
    EXPECT_TRUE(world.host.boxes.empty());

    at(c.step, c.limit + 1);
    receive("nothing yet");
    EXPECT_EQ(boxTexts(), Texts{c.message});
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);
}

INSTANTIATE_TEST_SUITE_P(Steps678, FirmwareEventLimitTest,
                         ::testing::Values(EventLimit{6, 50, "  01.07.02  value = 0x0 = 0",
                                                      "getsysver ack Error !!"},
                                           EventLimit{7, 50, "[y/n]", "sysup ack Error1 !!"},
                                           EventLimit{8, 100, "value = 0x0 = 0", "sysup ack Error2 !!"}));

TEST_F(FirmwareStepTest, TheExpansionCountContinuesTheSharedCounter) {
    at(8, 20);
    receive("Expanding...");
    EXPECT_EQ(world.status(), "展開中(21)");
    receive("Expanding...");
    EXPECT_EQ(world.status(), "展開中(22)");
}

TEST_F(FirmwareStepTest, TheFirstOfTheResultAndErrorDecidesTheExpansion) {
    at(8);
    receive("sysup: error 5\r\nvalue = 0x0 = 0");
    EXPECT_EQ(world.lastBox(), "Update Check Error!!");
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepStopped);

    ASSERT_TRUE(world.connectIn(FirmwareUpdate));
    at(8);
    receive("value = 0x0 = 0\r\nno error");
    EXPECT_EQ(world.dialog.step(), CTesselDlg::kStepFirmwareRebootSent);
    EXPECT_EQ(lastCommand(), "reboot");
    EXPECT_TRUE(world.host.boxes.empty());
}

TEST_F(FirmwareStepTest, AShortSendIsReportedAndTheWatchdogStillArmed) {
    world.network.shortSend = [] { return true; };
    at(7);
    receive("[y/n]");
    EXPECT_EQ(world.lastBox(), "sysup1 送信 Error!!");
    EXPECT_TRUE(world.host.isTimerArmed(CTesselDlg::kWatchdogTimerId));
}

}  // namespace
}  // namespace tessel::sim
