// The system's side of the per-device lock: a lock file in a folder of the user's own.
#pragma once

#include <cstdint>
#include <string>

namespace tessel::cli {

enum class LockResult { Held, Busy, Failed };

struct LockAttempt {
    LockResult result = LockResult::Failed;
    // While held: a descriptor, or on Windows a handle.
    std::intptr_t file = -1;
    // Why not, when it failed.
    std::string error;
};

// Opens the lock file at path (made when missing, never through a link) and takes its exclusive lock without
// waiting. Locks of one process conflict too: the threads of a fleet meet at them like separate runs.
LockAttempt LockFile(const std::string& path);

// Lets go of a held lock of the file at path. On POSIX the file goes too, so that a fleet of thousands leaves no
// files behind: a run that opened it before it went and locks it afterwards finds it gone and tries again (see
// LockFile). On Windows, where a file that is open cannot go, it stays.
void UnlockFile(std::intptr_t file, const std::string& path);

}  // namespace tessel::cli
