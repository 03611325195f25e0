// Path texts of a call: separator conversion.
#pragma once

#include <string>
#include <string_view>

namespace skiffs {

// Replaces every backslash by a slash, stepping over the trail byte of each Shift-JIS double-byte
// character so that a 0x5C trail byte stays as it is.
std::string BackslashesToSlashes(std::string_view path);

}  // namespace skiffs
