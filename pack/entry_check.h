// The file entries of the management file: their fields, names, device paths and scrambled files.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "pack/finding.h"
#include "pack/management_file_check.h"

namespace tessel::pack {

// packageFiles: the names of every file of the package (case-folded with CaseFoldKey), which a plain copy
// should not share.
void CheckEntries(const std::string& packageDirectory, const std::vector<ListedEntry>& entries,
                  const std::set<std::string>& packageFiles, Findings& findings);

}  // namespace tessel::pack
