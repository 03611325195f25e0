// The folder of the running program, which relative local paths of a call start from.
#pragma once

namespace skiffs {

// Makes the directory of the running executable the process's current directory, so that relative
// local paths name files beside it. A failure is ignored: relative paths then stay where they were.
void EnterExecutableDirectory();

}  // namespace skiffs
