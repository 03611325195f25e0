#pragma once

#include <string>
#include <string_view>

namespace tessel {

// The folder a front end takes the update package from when none is named: the program's own folder
// when it holds the management file (a package unpacked beside the program), else the current folder
// (an installed program in /usr/bin, started in the package's folder).
std::string DefaultPackageFolder(std::string_view programDirectory, std::string_view currentDirectory);

}  // namespace tessel
