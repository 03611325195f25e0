// The real dialog, real sockets and the real transfer library against tessel-devsim on loopback; the test
// presses the buttons and answers the message boxes.
#include <gtest/gtest.h>

#include <QPushButton>

#include <filesystem>
#include <memory>

#include "demo_package.h"
#include "dialog/control_ids.h"
#include "devsim_process.h"
#include "ftp_server.h"
#include "gui/main_dialog.h"
#include "message_box_answerer.h"
#include "platform/qt/qt_stream_socket.h"
#include "platform/skiffs/skiffs_uploader.h"
#include "tests/platform/qt_test_support.h"

namespace tessel::gui_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using qt_test::WaitFor;

constexpr auto kUpdateBound = 120s;

class DialogUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        package_ = test::MakeTempDir("gui-" + name);
        source_ = test::MakeTempDir("gui-source-" + name);
        std::string output;
        ASSERT_TRUE(test::BuildDemoPackage(package_, source_, /*moveAside=*/true, &output)) << output;
        startDevice();
        ASSERT_NE(device_, nullptr);
        dialog_ = std::make_unique<MainDialog>(sockets_, uploader_);
        dialog_->initialise(package_.string());
        dialog_->dialog().SetConsolePort(device_->ConsolePort());
        DialogHost& host = dialog_->host();
        host.setControlText(kAddressEdit, "127.0.0.1");
        host.setControlText(kLoginIdEdit, "admin");
        host.setControlText(kPasswordEdit, "admin");
        // The hidden FTP port field is the one place the dialog takes the FTP port from.
        host.setControlText(kFtpPortEdit, std::to_string(device_->FtpPort()));
        dialog_->window().show();
    }

    void TearDown() override {
        dialog_.reset();
        device_.reset();
        fs::remove_all(package_);
        fs::remove_all(source_);
    }

    void startDevice() {
        device_ = std::make_unique<test::DevsimProcess>(
            std::vector<std::string>{"--restart-time", "300", "--expansion-delay", "20"});
    }

    QPushButton* button(int id) { return qobject_cast<QPushButton*>(dialog_->window().control(id)); }
    bool updateButtonsEnabled() { return button(kFirmwareButton)->isEnabled() && button(kScriptButton)->isEnabled(); }
    bool updateButtonsDisabled() { return !button(kFirmwareButton)->isEnabled() && !button(kScriptButton)->isEnabled(); }

    // Presses an update button and waits, bounded, for the box that ends the procedure.
    void runUpdate(int buttonId, const QString& endMessage) {
        button(buttonId)->click();
        EXPECT_TRUE(updateButtonsDisabled());
        ASSERT_TRUE(WaitFor([&] { return boxes_.sawText(endMessage); }, kUpdateBound)) << device_->Output();
        ASSERT_EQ(boxes_.shown().size(), 1u) << boxes_.shown().front().text.toStdString();
        EXPECT_EQ(boxes_.shown().front().icon, QMessageBox::Information);
        EXPECT_EQ(boxes_.shown().front().title, "Tessel");
        EXPECT_TRUE(updateButtonsEnabled());
        EXPECT_EQ(dialog_->dialog().step(), 0);
    }

    std::string shipped(const std::string& name) const { return test::ReadFileBytes(package_ / name); }
    std::string onDevice(const std::string& path) const { return test::ReadFileBytes(device_->Root() / path); }
    std::string statusLine() { return dialog_->host().controlText(kStatusLine); }

    fs::path package_;
    fs::path source_;
    std::unique_ptr<test::DevsimProcess> device_;
    QtSocketFactory sockets_;
    SkiffsUploader uploader_;
    std::unique_ptr<MainDialog> dialog_;
    MessageBoxAnswerer boxes_;
};

TEST_F(DialogUpdateTest, FirmwareButtonInstallsTheFirmware) {
    runUpdate(kFirmwareButton, "ファームウェア・アップデートが終了しました。");
    EXPECT_EQ(statusLine(), "ファームウェア・アップデート終了");
    EXPECT_NE(device_->Output().find("installed firmware 01.08.00"), std::string::npos);
    EXPECT_EQ(onDevice("B:/kbteva.bin"), shipped("kbteva.bin"));
    EXPECT_EQ(onDevice("B:/prism3.dat"), shipped("prism3.dat"));
}

TEST_F(DialogUpdateTest, ScriptButtonTransfersTheFilesAroundTheAutoscriptMove) {
    ASSERT_EQ(dialog_->dialog().moveFlag(), 1);
    const std::string autoscript = onDevice("C:/system/autoscript.wcr");
    runUpdate(kScriptButton, "スクリプト・アップデートが終了しました。");
    EXPECT_EQ(statusLine(), "スクリプト・アップデート終了");
    EXPECT_EQ(onDevice("C:/www/VersionS.txt"), shipped("VersionS.txt"));
    EXPECT_EQ(onDevice("C:/www/control/spacer.gif"), shipped("spacer.gif"));
    EXPECT_EQ(onDevice("C:/system/autoscript.wcr"), autoscript);
}

}  // namespace
}  // namespace tessel::gui_test
