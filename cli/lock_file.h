// The system's side of the per-device lock: a lock file in a folder of the user's own.
#pragma once

#include <cstdint>
#include <string>

namespace tessel::cli {

// Makes the lock folder when missing; false when it cannot be used: not made, a link, or (on POSIX, in a shared
// /tmp) another user's folder, who could then take or break our locks.
bool PrepareLockFolder(const std::string& folder);

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

// Lets go of a held lock; the file stays.
void UnlockFile(std::intptr_t file);

}  // namespace tessel::cli
