#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace tessel::gui_test {

// xdotool on one X display, each call bounded, for tests that drive a real program's windows.
class XdotoolDriver {
public:
    using Clock = std::chrono::steady_clock;

    explicit XdotoolDriver(std::string display) : display_(std::move(display)) {}

    // Runs xdotool with the arguments (at most 10 s); returns its output.
    std::string run(const std::string& arguments, int* status = nullptr) const;
    // The first shown window whose name matches the pattern, waited for within the bound; empty if none.
    std::string waitForWindow(const std::string& pattern, Clock::duration bound) const;
    bool waitForWindowGone(const std::string& pattern, Clock::duration bound) const;

private:
    std::string display_;
};

// The exit status of the child once it has ended within the bound, or -1; pid becomes -1 once it has ended.
int WaitForExit(pid_t& pid, XdotoolDriver::Clock::duration bound);

}  // namespace tessel::gui_test
