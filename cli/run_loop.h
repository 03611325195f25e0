// The event loop of one device's run, on the thread that runs the device.
#pragma once

#include <mutex>

class QEventLoop;

namespace tessel::cli {

// Each run() is a loop of its own on the calling thread, so that many devices on many threads, and the
// single device on the main thread, end only their own loop.
class RunLoop {
public:
    // Runs the calling thread's events until quit() or stop(); returns at once once stop() has come.
    void run();
    // From the loop's own thread: ends the running run().
    void quit();
    // From any thread: ends the running run() and every later one.
    void stop();

private:
    std::mutex mutex_;
    QEventLoop* running_ = nullptr;
    bool stopped_ = false;
};

}  // namespace tessel::cli
