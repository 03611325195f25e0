// One run per device at a time, across processes and the threads of a fleet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessel::cli {

// Held for the whole run of an update of one device. The device is named by its resolved address and console
// port, so that two spellings of one address meet at one lock.
class DeviceLock {
public:
    // The lock, or nullopt with why not: another run holds it, or the lock file cannot be made.
    static std::optional<DeviceLock> acquire(const std::string& address, std::uint16_t consolePort, std::string& error);
    DeviceLock(DeviceLock&& other) noexcept;
    DeviceLock& operator=(DeviceLock&&) = delete;
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
    ~DeviceLock();

private:
    DeviceLock(std::intptr_t file, std::string path) : file_(file), path_(std::move(path)) {}

    // Moved from: no lock to let go of. A descriptor or a Windows handle is never -1 while it is held.
    static constexpr std::intptr_t kNoFile = -1;
    std::intptr_t file_;
    std::string path_;
};

// The folder of the lock files: $XDG_RUNTIME_DIR/tessel, else /tmp/tessel-<uid>, owner-only; on Windows
// %LOCALAPPDATA%\Tessel\run.
std::string DeviceLockFolder();

}  // namespace tessel::cli
