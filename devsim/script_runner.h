#pragma once

#include "devsim/script_syntax.h"

#include <optional>

namespace tessel::devsim {

// What a script can call besides its own functions: the device's built-in functions.
class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    // The result of the built-in call, or nullopt when there is no built-in of that name.
    virtual std::optional<ScriptValue> CallBuiltin(int line, const std::string& name,
                                                   const std::vector<ScriptValue>& args) = 0;
};

// Runs the program's function main() and returns its value (0 when it returns none). Throws ScriptError.
long long RunScript(const ScriptProgram& program, ScriptHost& host);

}  // namespace tessel::devsim
