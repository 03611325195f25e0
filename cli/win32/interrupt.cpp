#include "cli/interrupt.h"

#include <windows.h>

namespace tessel::cli {
namespace {

// On a thread of its own. Ended as a signal ends a POSIX process: nothing else runs (static destructors, the
// transfer library's detach), so that no half-ended state of the run's threads is met on the way out. Ending
// through the system's own handler instead would leave the status to the system (Wine gives 0, a success).
BOOL WINAPI EndOnInterrupt(DWORD) {
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(STATUS_CONTROL_C_EXIT));
    return TRUE;
}

}  // namespace

void EndRunOnInterrupt() { ::SetConsoleCtrlHandler(EndOnInterrupt, TRUE); }

}  // namespace tessel::cli
