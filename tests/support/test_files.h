// Scratch folders and whole files for tests, on both systems.
#pragma once

#include <filesystem>
#include <string>

namespace tessel::test {

// A fresh empty directory under the test's temporary directory.
std::filesystem::path MakeTempDir(const std::string& name);

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace tessel::test
