// The files of a package that the program knows by name, and the files nothing uses.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "pack/finding.h"
#include "pack/management_file_check.h"

namespace tessel::pack {

// The firmware image, data file and version script. When required is false, a package without any of them
// carries no firmware update and is not at fault.
void CheckFirmwareFiles(const std::string& packageDirectory, bool required, Findings& findings);

// VersionS.txt and spacer.gif, which the script update offers to the device after the listed files.
void CheckPlainFiles(const std::string& packageDirectory, Findings& findings);

// The names in the package folder (at most a bound of them; a longer folder is a finding).
std::vector<std::string> PackageFolderNames(const std::string& packageDirectory, Findings& findings);

// The names the program and the list use: the management file, the plain files, the firmware files and the
// scrambled names.
std::set<std::string> UsedNames(const std::vector<ListedEntry>& entries);

// Files of the folder that neither the program nor the list uses.
void CheckUnreferencedFiles(const std::vector<std::string>& folderNames, const std::set<std::string>& usedNames,
                            Findings& findings);

}  // namespace tessel::pack
