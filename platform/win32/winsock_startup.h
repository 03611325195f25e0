#pragma once

namespace tessel::win32 {

// Windows Sockets for the life of the object; sockets can be made only while one lives.
class WinsockStartup {
public:
    WinsockStartup();
    ~WinsockStartup();
    WinsockStartup(const WinsockStartup&) = delete;
    WinsockStartup& operator=(const WinsockStartup&) = delete;

    bool started() const { return started_; }

private:
    bool started_ = false;
};

}  // namespace tessel::win32
