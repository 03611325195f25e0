#include "platform/os/process.h"

#include <windows.h>

namespace tessel::os {

std::string ProcessThreadTag() {
    return std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetCurrentThreadId());
}

}  // namespace tessel::os
