// The sample package of examples/demo, built with tessel-pack.
#pragma once

#include <filesystem>
#include <string>

namespace tessel::test {

// Copies the sample's manifest and sources into scratch (a new folder), with the move action switched off
// when moveAside is false, and builds the package into package (a new folder). False when tessel-pack
// fails; its output goes to *output.
bool BuildDemoPackage(const std::filesystem::path& package, const std::filesystem::path& scratch, bool moveAside,
                      std::string* output = nullptr);

// tessel-pack with these arguments (each quoted); the exit status goes to *status, both output streams
// are returned.
std::string RunPack(const std::string& args, int* status);

}  // namespace tessel::test
