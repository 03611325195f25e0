// The real program on an X server of its own, driven as an operator drives it: xdotool types the address,
// login ID and password into the window and clicks the firmware button, and the update runs against
// tessel-devsim on ports of the simulator's own, given on the command line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <regex>

#include "child_process.h"
#include "demo_package.h"
#include "devsim_process.h"
#include "dialog/control_ids.h"
#include "ftp_server.h"
#include "gui/dialog_template.h"
#include "readable_test_name.h"
#include "xdotool_driver.h"
#include "xvfb_display.h"

namespace tessel::gui_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kWindowBound = 20s;
constexpr auto kWholeUpdateBound = 120s;

// The centre of a control of the window template, in the window's pixels.
struct Point {
    int x;
    int y;
};
Point ControlCentre(int controlId, int windowWidth, int windowHeight) {
    const DialogTemplate& dialog = MainDialogTemplate();
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id != controlId) continue;
        return {(2 * control.rect.x + control.rect.width) * windowWidth / (2 * dialog.width),
                (2 * control.rect.y + control.rect.height) * windowHeight / (2 * dialog.height)};
    }
    ADD_FAILURE() << "no control " << controlId;
    return {0, 0};
}

// Under the operators' locale and under a plain one: the window and its controls are the same.
class XdotoolFirmwareTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        work_ = test::MakeTempDir("gui-xdotool");
        ASSERT_EQ(chmod(work_.c_str(), 0700), 0);
        std::string output;
        ASSERT_TRUE(test::BuildDemoPackage(work_ / "package", work_ / "source", /*moveAside=*/false, &output))
            << output;
        display_ = std::make_unique<XvfbDisplay>(work_ / "xvfb.log");
        ASSERT_FALSE(display_->name().empty()) << test::ReadFileBytes(work_ / "xvfb.log");
        device_ = std::make_unique<test::DevsimProcess>(
            std::vector<std::string>{"--restart-time", "300", "--expansion-delay", "20"});
    }

    void TearDown() override {
        if (program_ > 0) test::StopChild(program_, 5000);
        if (programOutput_ >= 0) close(programOutput_);
        device_.reset();
        display_.reset();
        fs::remove_all(work_);
    }

    // The dialog program under the test's locale, on the simulator's ports.
    void startProgram() {
        program_ = test::SpawnChild(
            {"/usr/bin/env", "-u", "QT_QPA_PLATFORM", "-u", "WAYLAND_DISPLAY", "DISPLAY=" + display_->name(),
             "LC_ALL=" + std::string(GetParam()), "LANGUAGE=", "XDG_RUNTIME_DIR=" + work_.string(), TESSEL_PROGRAM,
             "--package", (work_ / "package").string(), "--ftp-port", std::to_string(device_->FtpPort()),
             "--console-port", std::to_string(device_->ConsolePort())},
            programOutput_, (work_ / "tessel.log").string());
    }

    std::string xdotool(const std::string& arguments) const { return XdotoolDriver(display_->name()).run(arguments); }
    std::string waitForWindow(const std::string& pattern, Clock::duration bound) const {
        return XdotoolDriver(display_->name()).waitForWindow(pattern, bound);
    }
    bool waitForWindowGone(const std::string& pattern, Clock::duration bound) const {
        return XdotoolDriver(display_->name()).waitForWindowGone(pattern, bound);
    }
    int waitForExit(Clock::duration bound) { return WaitForExit(program_, bound); }

    void typeInto(const std::string& window, Point at, const std::string& text) const {
        xdotool("mousemove --window " + window + " " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 1");
        xdotool("key ctrl+a");
        xdotool("type --delay 20 '" + text + "'");
    }

    std::string log() const { return test::ReadFileBytes(work_ / "tessel.log") + device_->Output(); }

    fs::path work_;
    std::unique_ptr<XvfbDisplay> display_;
    std::unique_ptr<test::DevsimProcess> device_;
    pid_t program_ = -1;
    int programOutput_ = -1;
};

TEST_P(XdotoolFirmwareTest, AnOperatorRunsAFirmwareUpdateThroughTheWindow) {
    startProgram();
    // The caption comes from the package: "Tessel デモ・アップデート". Message boxes are captioned "Tessel".
    const std::string window = waitForWindow("^Tessel .", kWindowBound);
    ASSERT_FALSE(window.empty()) << log();
    xdotool("windowfocus --sync " + window);
    const std::string geometry = xdotool("getwindowgeometry --shell " + window);
    std::smatch size;
    ASSERT_TRUE(std::regex_search(geometry, size, std::regex("WIDTH=(\\d+)\\nHEIGHT=(\\d+)"))) << geometry;
    const int width = std::stoi(size[1]);
    const int height = std::stoi(size[2]);

    typeInto(window, ControlCentre(kAddressEdit, width, height), "127.0.0.1");
    typeInto(window, ControlCentre(kLoginIdEdit, width, height), "admin");
    typeInto(window, ControlCentre(kPasswordEdit, width, height), "admin");
    const Point button = ControlCentre(kFirmwareButton, width, height);
    xdotool("mousemove --window " + window + " " + std::to_string(button.x) + " " + std::to_string(button.y) +
            " click 1");

    // The box that ends the procedure; the device tells which end it was.
    const std::string box = waitForWindow("^Tessel$", kWholeUpdateBound);
    ASSERT_FALSE(box.empty()) << log();
    EXPECT_NE(device_->Output().find("installed firmware 01.08.00"), std::string::npos) << log();
    EXPECT_EQ(test::ReadFileBytes(device_->Root() / "B:/kbteva.bin"),
              test::ReadFileBytes(work_ / "package" / "kbteva.bin"));

    xdotool("windowfocus --sync " + box);
    xdotool("key Return");
    EXPECT_TRUE(waitForWindowGone("^Tessel$", kWindowBound)) << log();
    // Idle again: Escape ends the program without a question.
    xdotool("windowfocus --sync " + window);
    xdotool("key Escape");
    EXPECT_EQ(waitForExit(kWindowBound), 0) << log();
}

INSTANTIATE_TEST_SUITE_P(Locales, XdotoolFirmwareTest, ::testing::Values("ja_JP.UTF-8", "C.UTF-8"),
                         [](const auto& info) { return test::ReadableTestName(info.param); });

}  // namespace
}  // namespace tessel::gui_test
