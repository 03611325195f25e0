// tessel.exe, the dialog of the Windows build, under Wine on an X server of its own, driven as an operator
// drives it: xdotool types the address, login ID and password into the window and presses the firmware
// button, and the update runs against tessel-devsim, which this Linux-side test starts on ports of its own.
// Under the operators' locale, with the Japanese fonts Wine needs to show the dialog's texts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "child_process.h"
#include "demo_package.h"
#include "devsim_process.h"
#include "ftp_server.h"
#include "xdotool_driver.h"
#include "xvfb_display.h"

namespace tessel::gui_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Wine starts its services on the first program of a prefix: the window may take a while.
constexpr auto kWineWindowBound = 60s;
constexpr auto kWineUpdateBound = 150s;
constexpr char kWineLocale[] = "ja_JP.UTF-8";

// Wine maps the Linux root to drive Z:.
std::string WindowsPath(const fs::path& path) {
    std::string windows = "Z:" + path.string();
    for (char& c : windows) {
        if (c == '/') c = '\\';
    }
    return windows;
}

// Wine's own Japanese font names map to the installed IPA fonts; set after the prefix has taken the Japanese
// code page, which rewrites them. The dialog's font is a proportional one: in the fixed-width IPAGothic its
// labels ("アドレス", the maker line) are wider than the template gives them, in IPAPGothic they fit.
constexpr char kFontSubstitutes[] =
    "REGEDIT4\n\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\n"
    "\"MS UI Gothic\"=\"IPAPGothic\"\n"
    "\"MS Gothic\"=\"IPAGothic\"\n"
    "\"MS Shell Dlg\"=\"IPAGothic\"\n"
    "\"MS Shell Dlg 2\"=\"IPAGothic\"\n"
    "\"MS PGothic\"=\"IPAPGothic\"\n";

class WineFirmwareTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(TESSEL_WINDOWS_PROGRAM)) {
            GTEST_SKIP() << "no Windows build: " << TESSEL_WINDOWS_PROGRAM;
        }
        work_ = test::MakeTempDir("gui-wine");
        ASSERT_EQ(chmod(work_.c_str(), 0700), 0);
        std::string output;
        ASSERT_TRUE(test::BuildDemoPackage(work_ / "package", work_ / "source", /*moveAside=*/false, &output))
            << output;
        display_ = std::make_unique<XvfbDisplay>(work_ / "xvfb.log");
        ASSERT_FALSE(display_->name().empty()) << test::ReadFileBytes(work_ / "xvfb.log");
        ASSERT_TRUE(prepareWinePrefix()) << test::ReadFileBytes(work_ / "wine.log");
        device_ = std::make_unique<test::DevsimProcess>(
            std::vector<std::string>{"--restart-time", "300", "--expansion-delay", "20"});
    }

    void TearDown() override {
        if (program_ > 0) test::StopChild(program_, 5000);
        if (programOutput_ >= 0) close(programOutput_);
        if (!work_.empty()) test::RunCommand(wineEnvironment() + " wineserver -k >/dev/null 2>&1");
        device_.reset();
        display_.reset();
        if (!work_.empty()) fs::remove_all(work_);
    }

    std::string wineEnvironment() const {
        return "env DISPLAY=" + display_->name() + " LANG=" + kWineLocale + " LC_ALL=" + kWineLocale +
               " WINEPREFIX=" + TESSEL_WINE_PREFIX + " WINEDEBUG=-all";
    }

    // A prefix of the test's own under the Japanese code page (made once: about 30 s), with the fonts.
    bool prepareWinePrefix() const {
        const std::string log = " >>" + (work_ / "wine.log").string() + " 2>&1 </dev/null";
        int status = 0;
        if (!fs::exists(fs::path(TESSEL_WINE_PREFIX) / "system.reg")) {
            test::RunCommand(wineEnvironment() + " timeout 180 wineboot -i" + log, &status);
            if (status != 0) return false;
        }
        const fs::path fonts = work_ / "fonts.reg";
        test::WriteFileBytes(fonts, kFontSubstitutes);
        test::RunCommand(wineEnvironment() + " timeout 60 /usr/lib/wine/wine64 regedit /S " + WindowsPath(fonts) + log,
                         &status);
        return status == 0;
    }

    void startProgram() {
        program_ = test::SpawnChild(
            {"/usr/bin/env", "DISPLAY=" + display_->name(), std::string("LANG=") + kWineLocale,
             std::string("LC_ALL=") + kWineLocale, std::string("WINEPREFIX=") + TESSEL_WINE_PREFIX, "WINEDEBUG=-all",
             "/usr/lib/wine/wine64", TESSEL_WINDOWS_PROGRAM, "--package", WindowsPath(work_ / "package"), "--ftp-port",
             std::to_string(device_->FtpPort()), "--console-port", std::to_string(device_->ConsolePort())},
            programOutput_, (work_ / "tessel.log").string());
    }

    std::string log() const { return test::ReadFileBytes(work_ / "tessel.log") + device_->Output(); }

    fs::path work_;
    std::unique_ptr<XvfbDisplay> display_;
    std::unique_ptr<test::DevsimProcess> device_;
    pid_t program_ = -1;
    int programOutput_ = -1;
};

TEST_F(WineFirmwareTest, AnOperatorRunsAFirmwareUpdateThroughTheWindow) {
    startProgram();
    const XdotoolDriver x(display_->name());
    // The caption comes from the package: "Tessel デモ・アップデート". Message boxes are captioned "Tessel".
    const std::string window = x.waitForWindow("^Tessel .", kWineWindowBound);
    ASSERT_FALSE(window.empty()) << log();
    x.run("windowfocus --sync " + window);
    // The close button has the focus first; the tab order goes on through address, login ID, password and
    // the firmware button. A field reached by Tab has all its text selected: typing replaces it.
    for (const char* text : {"127.0.0.1", "admin", "admin"}) {
        x.run("key Tab");
        x.run("type --delay 20 '" + std::string(text) + "'");
    }
    x.run("key Tab");
    x.run("key space");

    // The box that ends the procedure; the device tells which end it was.
    const std::string box = x.waitForWindow("^Tessel$", kWineUpdateBound);
    ASSERT_FALSE(box.empty()) << log();
    EXPECT_NE(device_->Output().find("installed firmware 01.08.00"), std::string::npos) << log();
    EXPECT_EQ(test::ReadFileBytes(device_->Root() / "B:/kbteva.bin"),
              test::ReadFileBytes(work_ / "package" / "kbteva.bin"));

    x.run("windowfocus --sync " + box);
    x.run("key Return");
    EXPECT_TRUE(x.waitForWindowGone("^Tessel$", 20s)) << log();
    // Idle again: Escape ends the program without a question.
    x.run("windowfocus --sync " + window);
    x.run("key Escape");
    EXPECT_EQ(WaitForExit(program_, 20s), 0) << log();
}

}  // namespace
}  // namespace tessel::gui_test
