// The thread that runs one device of a fleet.
#pragma once

#include <functional>
#include <memory>

namespace tessel::cli {

// Starts work on a thread of its own with a modest stack: a fleet runs a thousand devices at once, and the
// system's default stack would reserve gigabytes of address space for them. The thread takes no signals. Throws
// std::system_error when no thread can be started. The thread must be joined before the object is destroyed.
class DeviceThread {
public:
    explicit DeviceThread(std::function<void()> work);
    ~DeviceThread();
    DeviceThread(const DeviceThread&) = delete;
    DeviceThread& operator=(const DeviceThread&) = delete;

    void join();

    // Enough for the deepest call of a run: the core's 64 KiB file blocks, the name lookup, the transfer library.
    static constexpr std::size_t kStackBytes = 1024 * 1024;

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

}  // namespace tessel::cli
