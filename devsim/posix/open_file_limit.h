#pragma once

#include <string>

namespace tessel::devsim {

// A fleet of devices holds a few sockets per device: lets this process open as many files as the system allows
// it (the soft limit up to the hard one). False with the reason when the limit cannot be read or raised.
bool RaiseOpenFileLimit(std::string& error);

}  // namespace tessel::devsim
