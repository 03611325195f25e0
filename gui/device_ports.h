#pragma once

#include <cstdint>

namespace tessel {

// The device's FTP and console ports. A device behind a router that forwards other ports, or a test
// bench, is reached on other ones; the dialog itself does not show them.
struct DevicePorts {
    std::uint16_t ftp = 21;
    std::uint16_t console = 8002;
};

}  // namespace tessel
