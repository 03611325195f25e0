#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace tessel::gui_test {

// An X server of its own (Xvfb) on a display number it picks itself, for the length of a test; stopped by
// the destructor. Without a window manager: windows get no frame, and focus is given with xdotool.
class XvfbDisplay {
public:
    // The server's messages go to logPath.
    explicit XvfbDisplay(const std::filesystem::path& logPath);
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    // ":N", or empty when the server did not come up within the bound.
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = -1;
    int outputFd_ = -1;
    std::string name_;
};

}  // namespace tessel::gui_test
