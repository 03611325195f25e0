#pragma once

#include <string_view>

#include "gui/device_ports.h"

namespace tessel {

// The application object: starts the common controls and Windows Sockets, shows the main dialog modally and
// ends with it.
class CTesselApp {
public:
    // Runs the program for the update package in programDirectory and the device on ports; returns the exit
    // code once the dialog has closed.
    int InitInstance(std::string_view programDirectory, const DevicePorts& ports = {});
};

}  // namespace tessel
