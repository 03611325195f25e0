#include "xdotool_driver.h"

#include <sys/wait.h>

#include <thread>

#include "ftp_server.h"

namespace tessel::gui_test {

using namespace std::chrono_literals;

std::string XdotoolDriver::run(const std::string& arguments, int* status) const {
    return test::RunCommand("DISPLAY=" + display_ + " timeout 10 xdotool " + arguments + " 2>&1", status);
}

std::string XdotoolDriver::waitForWindow(const std::string& pattern, Clock::duration bound) const {
    const auto deadline = Clock::now() + bound;
    do {
        int status = -1;
        const std::string found = run("search --onlyvisible --name '" + pattern + "'", &status);
        if (status == 0 && !found.empty()) return found.substr(0, found.find('\n'));
        std::this_thread::sleep_for(200ms);
    } while (Clock::now() < deadline);
    return {};
}

bool XdotoolDriver::waitForWindowGone(const std::string& pattern, Clock::duration bound) const {
    const auto deadline = Clock::now() + bound;
    do {
        int status = -1;
        if (run("search --onlyvisible --name '" + pattern + "'", &status).empty() || status != 0) return true;
        std::this_thread::sleep_for(200ms);
    } while (Clock::now() < deadline);
    return false;
}

int WaitForExit(pid_t& pid, XdotoolDriver::Clock::duration bound) {
    const auto deadline = XdotoolDriver::Clock::now() + bound;
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(50ms);
    } while (XdotoolDriver::Clock::now() < deadline);
    return -1;
}

}  // namespace tessel::gui_test
