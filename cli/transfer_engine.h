// The FTP engine SkiffS runs on, as --version names it.
#pragma once

#include <string>

namespace tessel::cli {

// "libcurl VERSION" on Linux, "WinInet VERSION" (wininet.dll's file version) on Windows.
std::string TransferEngineVersion();

}  // namespace tessel::cli
