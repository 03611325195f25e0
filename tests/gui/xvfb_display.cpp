#include "xvfb_display.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>

#include "child_process.h"

namespace tessel::gui_test {
namespace {

constexpr auto kStartBound = std::chrono::seconds(20);

// Reads the display number the server writes once it accepts connections: digits and a newline.
std::string ReadDisplayNumber(int fd) {
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + kStartBound;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) continue;
        char c = 0;
        if (read(fd, &c, 1) != 1) return {};
        if (c == '\n') return number;
        number += c;
    }
    return {};
}

}  // namespace

XvfbDisplay::XvfbDisplay(const std::filesystem::path& logPath) {
    pid_ = test::SpawnChild({"/usr/bin/Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"},
                            outputFd_, logPath.string());
    const std::string number = ReadDisplayNumber(outputFd_);
    if (!number.empty()) name_ = ":" + number;
}

XvfbDisplay::~XvfbDisplay() {
    test::StopChild(pid_, 5000);
    close(outputFd_);
}

}  // namespace tessel::gui_test
