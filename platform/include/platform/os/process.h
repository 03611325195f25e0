#pragma once

#include <string>

namespace tessel::os {

// Text that no other process or thread running now holds (process and thread id), for names of files that
// are written aside and then put in place.
std::string ProcessThreadTag();

}  // namespace tessel::os
