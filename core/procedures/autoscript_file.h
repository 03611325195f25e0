#pragma once

#include <string>

#include "dialog/update_mode.h"

namespace tessel {

// The device script that moves the device's autoscript aside (AutoscriptMoveAside) or restores it (any other
// mode): LF line ends, no line end after the last line.
std::string AutoScriptText(UpdateMode mode);

}  // namespace tessel
