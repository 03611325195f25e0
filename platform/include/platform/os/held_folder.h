#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace tessel::os {

// A private folder (as MakePrivateFolder makes it) that is held open while it lives, its files reached through
// what is held rather than through its name: whoever could rename it and put a folder of their own in its place
// still would not have their files read or sent. Removed with everything in it when it ends; a folder that took
// its name meanwhile is left alone.
class HeldFolder {
public:
    // nullopt when no private folder can be made or held.
    static std::optional<HeldFolder> Make();
    HeldFolder(HeldFolder&& other) noexcept
        : name_(std::move(other.name_)), path_(std::move(other.path_)), held_(std::exchange(other.held_, kNotHeld)) {}
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;
    HeldFolder& operator=(HeldFolder&&) = delete;
    ~HeldFolder();

    // The folder as this process reaches its files: on Linux through the descriptor (/proc/self/fd/N, or the
    // name where /proc is not mounted); on Windows its name, since it is held open without sharing its removal,
    // which also keeps it from being renamed.
    const std::string& path() const { return path_; }
    // The folder's name in the temporary folder, for messages.
    const std::string& name() const { return name_; }

private:
    // What no folder is held by: -1, which is neither a descriptor nor a handle (INVALID_HANDLE_VALUE is -1).
    static constexpr std::intptr_t kNotHeld = -1;

    HeldFolder(std::string name, std::string path, std::intptr_t held)
        : name_(std::move(name)), path_(std::move(path)), held_(held) {}

    std::string name_;
    std::string path_;
    std::intptr_t held_;
};

}  // namespace tessel::os
