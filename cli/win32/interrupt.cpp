#include "cli/interrupt.h"

#include <windows.h>

#include "cli/win32/interrupted_end.h"

namespace tessel::cli {
namespace {

// On a thread of its own.
BOOL WINAPI EndOnInterrupt(DWORD) {
    EndAsInterrupted();
    return TRUE;
}

}  // namespace

void EndAsInterrupted() { ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(STATUS_CONTROL_C_EXIT)); }

void EndRunOnInterrupt() { ::SetConsoleCtrlHandler(EndOnInterrupt, TRUE); }

}  // namespace tessel::cli
