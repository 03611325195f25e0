// The process's private folder for converted copies, and their removal however the process ends.
//
// The folder is made once per process, exclusively, with an unpredictable name
// ($TMPDIR/skiffs-<pid>-XXXXXX, mode 0700), and made again should it vanish or stop being private.
// Every converted copy in it is known by name until it is removed: at a normal exit the folder goes,
// and on SIGHUP, SIGINT, SIGQUIT or SIGTERM the copies and the folder are removed before the signal
// takes its usual course. A signal the program handles itself is left to the program. On Windows the
// folder is %TEMP%\skiffs-<pid>-XXXXXX, and goes at exit.
#pragma once

#include <cstdint>
#include <string>

namespace skiffs {

// A new name for a converted copy in the private folder, known for removal from now on; empty when
// the folder cannot be had.
std::string NewTemporaryFile(std::uint64_t serial);

// Removes a file that NewTemporaryFile named (when it exists) and forgets it.
void RemoveTemporaryFile(const std::string& path);

}  // namespace skiffs
