// How an interrupt (Ctrl+C, Ctrl+Break, closing the console window) ends the program on Windows.
#pragma once

namespace tessel::cli {

// Ends the process at once with STATUS_CONTROL_C_EXIT, as a signal ends a POSIX process: nothing else runs
// (static destructors, the transfer library's detach), so that no half-ended state of another thread is met on
// the way out. The system's own handler would leave the status to the system (Wine gives 0, a success).
void EndAsInterrupted();

}  // namespace tessel::cli
