#include "temp_folder.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace skiffs {

namespace {

// Names the signal handler may read: a slot is free, being written, or holds a name.
enum SlotState : int { kFree = 0, kWriting = 1, kNamed = 2 };
constexpr std::size_t kNameCapacity = 4096;

struct Slot {
    std::atomic<int> state{kFree};
    char name[kNameCapacity];
};

// One slot per transfer that may run at once, and some more.
std::array<Slot, 128> slots;
// The folder as the signal handler sees it.
std::atomic<int> folderKnown{0};
char folderName[kNameCapacity];

constexpr std::array<int, 4> kCleanedSignals = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

void RemoveEverything() {
    for (Slot& slot : slots) {
        if (slot.state.load(std::memory_order_acquire) == kNamed) unlink(slot.name);
    }
    if (folderKnown.load(std::memory_order_acquire) != 0) rmdir(folderName);
}

// Only async-signal-safe calls: unlink, rmdir, sigaction, raise.
void OnSignal(int signal) {
    RemoveEverything();
    struct sigaction usual {};
    usual.sa_handler = SIG_DFL;
    sigemptyset(&usual.sa_mask);
    sigaction(signal, &usual, nullptr);
    raise(signal);
}

void InstallCleanup() {
    std::atexit(RemoveEverything);
    for (const int signal : kCleanedSignals) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) != 0) continue;
        // A program that handles or ignores the signal keeps its own way.
        if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction ours {};
        ours.sa_handler = OnSignal;
        sigemptyset(&ours.sa_mask);
        sigaction(signal, &ours, nullptr);
    }
}

bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 077) == 0;
}

// The process's folder, made when there is none yet or the one made before is no longer private.
std::string PrivateFolder() {
    static std::mutex mutex;
    static std::string folder;
    std::lock_guard lock(mutex);
    if (!folder.empty() && IsPrivateFolder(folder)) return folder;
    const char* base = std::getenv("TMPDIR");
    std::string pattern = (base && *base) ? base : "/tmp";
    if (pattern.back() != '/') pattern += '/';
    pattern += "skiffs-" + std::to_string(getpid()) + "-XXXXXX";
    if (pattern.size() >= kNameCapacity || mkdtemp(pattern.data()) == nullptr) return {};
    static std::once_flag once;
    std::call_once(once, InstallCleanup);
    folderKnown.store(0, std::memory_order_release);
    std::memcpy(folderName, pattern.c_str(), pattern.size() + 1);
    folderKnown.store(1, std::memory_order_release);
    folder = pattern;
    return folder;
}

}  // namespace

std::string NewTemporaryFile(std::uint64_t serial) {
    const std::string folder = PrivateFolder();
    if (folder.empty()) return {};
    const std::string name = folder + "/" + std::to_string(serial);
    if (name.size() >= kNameCapacity) return {};
    for (Slot& slot : slots) {
        int expected = kFree;
        if (slot.state.compare_exchange_strong(expected, kWriting, std::memory_order_acq_rel)) {
            std::memcpy(slot.name, name.c_str(), name.size() + 1);
            slot.state.store(kNamed, std::memory_order_release);
            return name;
        }
    }
    // Every slot is taken: the copy is still removed when its transfer ends.
    return name;
}

void RemoveTemporaryFile(const std::string& path) {
    if (path.empty()) return;
    unlink(path.c_str());
    for (Slot& slot : slots) {
        if (slot.state.load(std::memory_order_acquire) == kNamed && path == slot.name) {
            slot.state.store(kFree, std::memory_order_release);
            return;
        }
    }
}

}  // namespace skiffs
