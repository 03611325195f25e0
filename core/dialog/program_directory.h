#pragma once

#include <string>
#include <string_view>

namespace tessel {

// The folder of the running program: its full path cut at the last separator, which is never one of the
// first two characters. A path without such a separator is returned as it is.
std::string ProgramDirectoryOf(std::string_view executablePath);

}  // namespace tessel
