// Where each device of a simulated fleet lives: its own address and its own folder.
#pragma once

#include <QString>
#include <optional>

namespace tessel::devsim {

// The address of device index (from 0) of a fleet whose first device is on first: the IPv4 address index
// places after it, carried into the next octets (127.0.0.255, 127.0.1.0, ...). nullopt when first is no IPv4
// address or the count runs past 255.255.255.255.
std::optional<QString> DeviceAddress(const QString& first, unsigned index);

// The folder of the device on address: a lone device has the whole root, each device of a fleet the subfolder
// named after its address.
QString DeviceRoot(const QString& root, const QString& address, unsigned devices);

}  // namespace tessel::devsim
