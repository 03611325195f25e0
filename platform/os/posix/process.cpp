#include "platform/os/process.h"

#include <unistd.h>

namespace tessel::os {

std::string ProcessThreadTag() { return std::to_string(::getpid()) + "-" + std::to_string(::gettid()); }

}  // namespace tessel::os
