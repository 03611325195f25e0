#pragma once

#include <string_view>

#include "gui/device_ports.h"

namespace tessel {

// The application object: starts the platform services, shows the main dialog modally and ends with it.
// A QApplication must exist.
class CTesselApp {
public:
    // Runs the program for the update package in programDirectory and the device on ports; returns the exit
    // code once the dialog has closed.
    int InitInstance(std::string_view programDirectory, const DevicePorts& ports = {});
};

}  // namespace tessel
