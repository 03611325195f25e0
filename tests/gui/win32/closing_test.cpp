// The closing rule on the Win32 dialog, with a device console on loopback: at once while no procedure is past
// its first step, otherwise only after the question; Escape cancels without it.
#include "dialog/control_ids.h"
#include "loopback_server.h"
#include "message_box_answerer.h"
#include "win32_dialog_fixture.h"

namespace tessel::gui_test {
namespace {

using platform_test::LoopbackPeer;
using platform_test::LoopbackServer;

const std::string kCloseQuestion = "アップデート処理中です。よろしいですか？";

class Win32ClosingTest : public Win32DialogTest {
protected:
    void SetUp() override {
        setText(kLoginIdEdit, "admin");
        setText(kPasswordEdit, "admin");
    }
    void TearDown() override { console.close(); }

    // Starts the script update (no upload comes first) against the console, which greets with a login
    // prompt, and waits for step 2, where the login waits for the prompt.
    void reachStepTwo() {
        setText(kAddressEdit, "127.0.0.1");
        dialog.dialog().SetConsolePort(console.port());
        click(kScriptButton);
        ASSERT_TRUE(WaitFor([&] {
            if (!peer && (peer = console.acceptPending())) peer->write("login: ");
            return dialog.dialog().step() == 2;
        }));
    }

    LoopbackServer console;
    LoopbackPeer* peer = nullptr;
    MessageBoxAnswerer boxes;
};

TEST_F(Win32ClosingTest, CloseButtonAtStepZeroClosesAtOnceWithOk) {
    click(kCloseButton);
    EXPECT_TRUE(dialog.window().ended());
    EXPECT_EQ(dialog.window().result(), IDOK);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Win32ClosingTest, CloseCommandAtStepZeroClosesAtOnceWithCancel) {
    ::SendMessageW(dialog.window().handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(dialog.window().ended());
    EXPECT_EQ(dialog.window().result(), IDCANCEL);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Win32ClosingTest, EnterActsAsTheCloseButton) {
    EXPECT_EQ(runWithKey(kAddressEdit, VK_RETURN), IDOK);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Win32ClosingTest, AtStepTwoTheCloseButtonAsksAndNoKeepsTheWindow) {
    reachStepTwo();
    click(kCloseButton);
    ASSERT_EQ(boxes.shown().size(), 1u);
    const ShownMessageBox& question = boxes.shown().front();
    EXPECT_EQ(question.text, kCloseQuestion);
    EXPECT_EQ(question.caption, "Tessel");
    EXPECT_TRUE(question.yesNo);
    EXPECT_TRUE(question.warningIcon);
    EXPECT_FALSE(dialog.window().ended());
    EXPECT_EQ(dialog.dialog().step(), 2);

    boxes.setQuestionAnswer(IDYES);
    click(kCloseButton);
    EXPECT_EQ(boxes.shown().size(), 2u);
    EXPECT_TRUE(dialog.window().ended());
    EXPECT_EQ(dialog.window().result(), IDOK);
}

TEST_F(Win32ClosingTest, AtStepTwoEnterAndTheCloseCommandAskToo) {
    reachStepTwo();
    ::SendMessageW(dialog.window().handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(dialog.window().ended());
    boxes.setQuestionAnswer(IDYES);
    EXPECT_EQ(runWithKey(kAddressEdit, VK_RETURN), IDOK);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].text, kCloseQuestion);
    EXPECT_EQ(boxes.shown()[1].text, kCloseQuestion);
}

TEST_F(Win32ClosingTest, EscapeCancelsWithoutTheQuestion) {
    reachStepTwo();
    EXPECT_EQ(runWithKey(kAddressEdit, VK_ESCAPE), IDCANCEL);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Win32ClosingTest, ButtonsAreDisabledWhileTheLoginRunsAndEnabledWhenItFails) {
    reachStepTwo();
    EXPECT_FALSE(enabled(kFirmwareButton));
    EXPECT_FALSE(enabled(kScriptButton));
    EXPECT_TRUE(enabled(kCloseButton));

    peer->write("Login incorrect\r\n");
    ASSERT_TRUE(WaitFor([&] { return enabled(kScriptButton); }));
    EXPECT_TRUE(enabled(kFirmwareButton));
    ASSERT_TRUE(boxes.sawText("ログイン Error!!"));
    EXPECT_EQ(boxes.shown().back().caption, "Tessel");
    EXPECT_TRUE(boxes.shown().back().warningIcon);
    EXPECT_EQ(text(kStatusLine), "ログイン Error!!");

    // A stopped procedure counts as idle: no question any more.
    const std::size_t boxesBefore = boxes.shown().size();
    click(kCloseButton);
    EXPECT_TRUE(dialog.window().ended());
    EXPECT_EQ(boxes.shown().size(), boxesBefore);
}

TEST_F(Win32ClosingTest, ButtonsAreDisabledWhileConnectingAndEnabledWhenTheConnectFails) {
    // Nothing listens on that port: the connect is refused.
    const std::uint16_t closedPort = console.port();
    console.close();
    setText(kAddressEdit, "127.0.0.1");
    dialog.dialog().SetConsolePort(closedPort);
    click(kScriptButton);
    EXPECT_FALSE(enabled(kFirmwareButton));
    EXPECT_FALSE(enabled(kScriptButton));

    ASSERT_TRUE(WaitFor([&] { return enabled(kScriptButton); }));
    EXPECT_TRUE(enabled(kFirmwareButton));
    EXPECT_TRUE(boxes.sawText("通信エラー\nIPアドレスや接続を確認してください"));
    EXPECT_EQ(dialog.dialog().step(), -1);
}

}  // namespace
}  // namespace tessel::gui_test
