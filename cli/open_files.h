// The number of files and sockets a fleet run may hold open at once.
#pragma once

#include <cstddef>

namespace tessel::cli {

// What a run of `parallel` devices at once may hold open: per device its console connection, the FTP control
// and data connections, its lock file and its event loop's own handles, with room to spare; and the process's
// own files.
constexpr std::size_t OpenFilesFor(std::size_t parallel) { return 64 + 16 * parallel; }

// Raises the process's soft limit on open files to its hard limit when the soft one is below `needed`; a
// limit that cannot be raised stays as it is (a device that cannot open its connection then fails alone).
void RaiseOpenFilesLimit(std::size_t needed);

}  // namespace tessel::cli
