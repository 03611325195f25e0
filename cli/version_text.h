// What tessel-cli --version prints.
#pragma once

#include <string>

namespace tessel::cli {

// "tessel-cli VERSION", then the SkiffS it was built with and the FTP engine it runs on (libcurl, WinInet),
// one a line.
std::string VersionText();

}  // namespace tessel::cli
