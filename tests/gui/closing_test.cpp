#include <QLocale>
#include <QTest>

#include "dialog/control_ids.h"
#include "dialog_fixture.h"
#include "fake_console.h"
#include "gui/qt_translations.h"
#include "loopback_address.h"
#include "message_box_answerer.h"
#include "plain_text.h"
#include "tests/platform/qt_test_support.h"

namespace tessel::gui_test {
namespace {

using qt_test::WaitFor;

const QString kCloseQuestion = "アップデート処理中です。よろしいですか？";

class ClosingTest : public DialogTest {
protected:
    void SetUp() override {
        dialog.window().show();
        edit(kLoginIdEdit)->setText("admin");
        edit(kPasswordEdit)->setText("admin");
    }

    // Starts the script update (no upload comes first) against the fake console and waits for step 2,
    // where the login waits for the prompt.
    void reachStepTwo() {
        ASSERT_TRUE(console.listening());
        edit(kAddressEdit)->setText("127.0.0.1");
        dialog.dialog().SetConsolePort(console.port());
        button(kScriptButton)->click();
        ASSERT_TRUE(WaitFor([&] { return dialog.dialog().step() == 2; }));
    }

    bool closed() const { return !dialog.window().isVisible(); }

    FakeConsole console;
    MessageBoxAnswerer boxes;
};

TEST_F(ClosingTest, CloseButtonAtStepZeroClosesAtOnceWithOk) {
    button(kCloseButton)->click();
    EXPECT_TRUE(closed());
    EXPECT_EQ(dialog.window().result(), QDialog::Accepted);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ClosingTest, CloseCommandAtStepZeroClosesAtOnceWithCancel) {
    EXPECT_TRUE(dialog.window().close());
    EXPECT_TRUE(closed());
    EXPECT_EQ(dialog.window().result(), QDialog::Rejected);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ClosingTest, EnterActsAsTheCloseButton) {
    edit(kAddressEdit)->setFocus();
    QTest::keyClick(edit(kAddressEdit), Qt::Key_Return);
    EXPECT_TRUE(closed());
    EXPECT_EQ(dialog.window().result(), QDialog::Accepted);
}

TEST_F(ClosingTest, AtStepTwoTheCloseButtonAsksAndNoKeepsTheWindow) {
    reachStepTwo();
    button(kCloseButton)->click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    const ShownMessageBox& question = boxes.shown().front();
    EXPECT_EQ(question.text, kCloseQuestion);
    EXPECT_EQ(question.title, "Tessel");
    EXPECT_EQ(question.icon, QMessageBox::Warning);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_FALSE(closed());
    EXPECT_EQ(dialog.dialog().step(), 2);

    boxes.setQuestionAnswer(QMessageBox::Yes);
    button(kCloseButton)->click();
    EXPECT_EQ(boxes.shown().size(), 2u);
    EXPECT_TRUE(closed());
    EXPECT_EQ(dialog.window().result(), QDialog::Accepted);
}

TEST_F(ClosingTest, TheQuestionsButtonsSpeakTheSystemsLanguage) {
    const QtTranslations translations;
    reachStepTwo();
    button(kCloseButton)->click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    QStringList texts;
    for (const QString& text : boxes.shown().front().buttonTexts) texts << PlainText(text);
    texts.sort();
    QStringList expected = QLocale::system().language() == QLocale::Japanese ? QStringList{"はい", "いいえ"}
                                                                             : QStringList{"Yes", "No"};
    expected.sort();
    EXPECT_EQ(texts, expected);
    EXPECT_FALSE(closed());
}

TEST_F(ClosingTest, AtStepTwoEnterAndTheCloseCommandAskToo) {
    reachStepTwo();
    QTest::keyClick(edit(kAddressEdit), Qt::Key_Return);
    EXPECT_FALSE(dialog.window().close());
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].text, kCloseQuestion);
    EXPECT_EQ(boxes.shown()[1].text, kCloseQuestion);
    EXPECT_FALSE(closed());
}

TEST_F(ClosingTest, EscapeCancelsWithoutTheQuestion) {
    reachStepTwo();
    QTest::keyClick(&dialog.window(), Qt::Key_Escape);
    EXPECT_TRUE(closed());
    EXPECT_EQ(dialog.window().result(), QDialog::Rejected);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ClosingTest, ButtonsAreDisabledWhileTheLoginRunsAndEnabledWhenItFails) {
    reachStepTwo();
    EXPECT_FALSE(button(kFirmwareButton)->isEnabled());
    EXPECT_FALSE(button(kScriptButton)->isEnabled());
    EXPECT_TRUE(button(kCloseButton)->isEnabled());

    ASSERT_TRUE(console.say("Login incorrect\r\n"));
    ASSERT_TRUE(WaitFor([&] { return button(kScriptButton)->isEnabled(); }));
    EXPECT_TRUE(button(kFirmwareButton)->isEnabled());
    EXPECT_TRUE(boxes.sawText("ログイン Error!!"));
    EXPECT_EQ(edit(kStatusLine)->text(), "ログイン Error!!");

    // A stopped procedure counts as idle: no question any more.
    const std::size_t boxesBefore = boxes.shown().size();
    button(kCloseButton)->click();
    EXPECT_TRUE(closed());
    EXPECT_EQ(boxes.shown().size(), boxesBefore);
}

TEST_F(ClosingTest, ButtonsAreDisabledWhileConnectingAndEnabledWhenTheConnectFails) {
    // Nothing listens on that port: the connect is refused.
    edit(kAddressEdit)->setText("127.0.0.1");
    dialog.dialog().SetConsolePort(UnusedLoopbackPort());
    button(kScriptButton)->click();
    EXPECT_FALSE(button(kFirmwareButton)->isEnabled());
    EXPECT_FALSE(button(kScriptButton)->isEnabled());

    ASSERT_TRUE(WaitFor([&] { return button(kScriptButton)->isEnabled(); }));
    EXPECT_TRUE(button(kFirmwareButton)->isEnabled());
    EXPECT_TRUE(boxes.sawText("通信エラー\nIPアドレスや接続を確認してください"));
    EXPECT_EQ(dialog.dialog().step(), -1);
}

}  // namespace
}  // namespace tessel::gui_test
