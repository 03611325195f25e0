// The event loop of one device's run, on the thread that runs the device.
#pragma once

#include <memory>
#include <mutex>

namespace asio {
class io_context;
}

namespace tessel::cli {

// One io_context per device thread: the sockets, timers and event pump of the run are made on context(). Each
// run() is a loop of its own on the calling thread, so that many devices on many threads, and the single
// device on the main thread, end only their own loop.
class RunLoop {
public:
    RunLoop();
    ~RunLoop();
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    asio::io_context& context() { return *context_; }

    // Runs the context's handlers until quit() or stop(); returns at once once stop() has come.
    void run();
    // From the loop's own thread: ends the running run().
    void quit();
    // From any thread: ends the running run() and every later one.
    void stop();

private:
    bool ended();

    std::unique_ptr<asio::io_context> context_;
    std::mutex mutex_;
    bool running_ = false;
    bool quit_ = false;
    bool stopped_ = false;
};

}  // namespace tessel::cli
