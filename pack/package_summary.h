// tessel-pack show: what an update package holds, read as the updater reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dialog/update_management_file.h"

namespace tessel::pack {

// Texts and names are code page 932 bytes, as in the package.
struct SummaryFile {
    // Empty for the plain files, which are shipped as they are.
    std::string scrambledName;
    std::string plainName;
    std::string devicePath;
    // Nullopt when the file cannot be read.
    std::optional<std::uintmax_t> size;
    // SHA-256 of the plain bytes, as they reach the device; empty when the file cannot be read.
    std::string sha256;
};

struct SummaryFirmwareFile {
    std::string name;
    std::optional<std::uintmax_t> size;
    // The version the image's first line declares ("TESSEL FIRMWARE 01.08.00"); empty when it declares none.
    std::string declaredVersion;
};

struct PackageSummary {
    UpdateHeader header;
    std::uint8_t key = 0;
    std::vector<SummaryFile> listed;
    // VersionS.txt and spacer.gif.
    std::vector<SummaryFile> plain;
    std::vector<SummaryFirmwareFile> firmware;
};

struct SummaryResult {
    std::optional<PackageSummary> summary;
    // Why the updater refuses the file list, when it does.
    ManagementFileFault fault;
};

SummaryResult SummarizePackage(const std::string& packageDirectory);

// The bytes of a listed file as the updater sends them: its scrambled file descrambled with the key.
std::optional<std::string> PlainBytes(const std::string& packageDirectory, const UpdateFileEntry& entry,
                                      std::uint8_t key);

}  // namespace tessel::pack
