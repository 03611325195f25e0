// Unpredictable characters for names of files and folders that are made exclusively.
#pragma once

#include <string>

namespace skiffs {

// count letters and digits from the system's random source.
std::wstring RandomNameCharacters(std::size_t count);

}  // namespace skiffs
