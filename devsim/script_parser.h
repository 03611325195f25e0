#pragma once

#include "devsim/script_syntax.h"

#include <string_view>

namespace tessel::devsim {

// Parses a script: functions "Function name(params) { ... }" with statements var, if/else, return, blocks and
// expression statements. String escapes: \\ \" \n \r \t \a; any other backslash stays as it is, so
// "C:\system\\autoscript.wcr" names C:\system\autoscript.wcr. Throws ScriptError.
ScriptProgram ParseScript(std::string_view text);

}  // namespace tessel::devsim
