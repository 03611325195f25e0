#pragma once

#include <string>
#include <string_view>

namespace tessel::devsim {

// Writes one line of what the simulator receives and does to standard output, at once.
void Log(std::string_view line);

// Console bytes as readable text: control and non-ASCII bytes as \r, \n or \xNN.
std::string Printable(std::string_view bytes);

}  // namespace tessel::devsim
