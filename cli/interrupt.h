// Ctrl+C during a single device's run.
#pragma once

namespace tessel::cli {

// From now on an interrupt (Ctrl+C; on Windows also Ctrl+Break and closing the console window) ends the process
// at once with a status that says it was interrupted, as SIGINT's default action does on POSIX, where nothing is
// to be done. The system lets go of the device's lock with the process. A fleet handles its stop signals itself.
void EndRunOnInterrupt();

}  // namespace tessel::cli
