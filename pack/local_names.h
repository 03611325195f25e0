// Where unpack puts a device's file on this system.
#pragma once

#include <string>
#include <vector>

namespace tessel::pack {

// The names of a device path (drive first, as DevicePathNames gives them) as this system's files can hold
// them: on POSIX the code page 932 bytes as they are; on Windows UTF-8 text, with the drive "C:" as the folder
// "C", since no Windows name holds a colon.
std::vector<std::string> LocalNames(std::vector<std::string> deviceNames);

}  // namespace tessel::pack
