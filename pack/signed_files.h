// Which files of a package a signature covers and which files an update reads: every name is code page 932
// bytes, relative to the package folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pack/package_check.h"

namespace tessel::pack {

// The largest package file that is signed or checked: firmware images are the largest.
inline constexpr std::uintmax_t kMaxSignedFileBytes = 256 * 1024 * 1024;

// The files an update of scope reads from the folder, as its management file lists them: the management
// file, the listed scrambled files and the two plain files (Script); the three firmware files (Firmware; with
// Whole only those the folder holds); the management file also for a firmware update when the folder holds
// it (its versions are shown and compared). Empty, and why in error, when the management file's list is
// refused.
std::vector<std::string> FilesReadByUpdate(const std::string& folder, PackageScope scope, std::string& error);

}  // namespace tessel::pack
