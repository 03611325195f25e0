// Path texts of a call: separator conversion and the executable's directory.
#pragma once

#include <string>
#include <string_view>

namespace skiffs {

// Replaces every backslash by a slash, stepping over the trail byte of each Shift-JIS double-byte
// character so that a 0x5C trail byte stays as it is.
std::string BackslashesToSlashes(std::string_view path);

// Makes the directory of the running executable the process's current directory, so that relative
// local paths name files beside it. A failure is ignored: relative paths then stay where they were.
void EnterExecutableDirectory();

}  // namespace skiffs
