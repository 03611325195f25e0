// The management file line by line, as both readers of the updater see it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "dialog/update_management_file.h"
#include "pack/finding.h"

namespace tessel::pack {

// A file entry line: its fields as the updater cuts them, the line itself and its number.
struct ListedEntry {
    UpdateFileEntry fields;
    std::string text;
    std::size_t line = 0;
};

// Checks the file as a whole and every tagged line; returns the file entry lines, at most kMaxListedFiles
// (more are a finding), for CheckEntries.
std::vector<ListedEntry> CheckManagementFile(const std::string& packageDirectory, Findings& findings);

// The text is code page 932 that converts to Unicode.
bool IsCp932Text(std::string_view bytes);

// A name or text of the package, quoted, for a finding.
std::string Quoted(std::string_view cp932);

}  // namespace tessel::pack
