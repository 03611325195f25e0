#pragma once

#include <cstdint>

namespace tessel::gui_test {

// A port of 127.0.0.1 on which nothing listens (it was free a moment ago): a connect there is refused.
std::uint16_t UnusedLoopbackPort();

}  // namespace tessel::gui_test
