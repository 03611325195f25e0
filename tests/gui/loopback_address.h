#pragma once

#include <string>

namespace tessel::gui_test {

// A random address of the loopback network 127.0.0.0/8, other than 127.0.0.1: the dialog always reaches the
// console on its fixed port, so each test's device gets an address of its own instead of a port.
std::string RandomLoopbackAddress();

}  // namespace tessel::gui_test
